#pragma once
// The master mute on the PulseAudio (or PipeWire) server's default sink. Each call opens a
// short connection of its own, so it may run on any thread and survives server restarts.
#include "platform/media/mixer.h"

class PulseMixer : public Mixer {
 public:
  status_t GetMute(bool* muted) override;
  status_t SetMute(bool muted) override;
};
