#pragma once
// The master mute of the system audio mixer (the default sink on Linux).
#include <functional>

#include "platform/messaging/status.h"

namespace koru {

class Mixer {
 public:
  virtual ~Mixer() = default;
  // kNoDevice when there is no mixer or no mute control.
  virtual status_t GetMute(bool* muted) = 0;
  virtual status_t SetMute(bool muted) = 0;
  // From now on calls `changed` with the new state whenever the mute changes, also when another
  // program changes it; on a thread of the mixer's, until the mixer goes. False when the mixer
  // cannot tell.
  virtual bool WatchMute(std::function<void(bool muted)> changed) {
    (void)changed;
    return false;
  }
};

}  // namespace koru
