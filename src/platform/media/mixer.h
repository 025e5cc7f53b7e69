#pragma once
// The master mute of the system audio mixer (the default sink on Linux).
#include "platform/messaging/status.h"

class Mixer {
 public:
  virtual ~Mixer() = default;
  // kNoDevice when there is no mixer or no mute control.
  virtual status_t GetMute(bool* muted) = 0;
  virtual status_t SetMute(bool muted) = 0;
};
