#pragma once
// The master mute on the PulseAudio (or PipeWire) server's default sink. Each call opens a
// short connection of its own, so it may run on any thread and survives server restarts. The
// watch of the mute keeps one connection open, with its own thread, for as long as the mixer.
#include <memory>
#include <mutex>

#include "platform/media/mixer.h"

namespace koru {

class PulseMixer : public Mixer {
 public:
  PulseMixer();
  ~PulseMixer() override;
  status_t GetMute(bool* muted) override;
  status_t SetMute(bool muted) override;
  bool WatchMute(std::function<void(bool muted)> changed) override;

 private:
  class Watch;
  std::mutex watch_mutex_;
  std::unique_ptr<Watch> watch_;
};

}  // namespace koru
