#pragma once
// A recording played on a virtual clock: a wait moves the clock to the next level change, so
// a whole recording replays without real time passing. The waiting thread must run on `clock`
// (SetThreadClock). When no change will come, a wait without deadline gives kLineEnded.
#include <memory>

#include "platform/lines/mode2_timeline.h"
#include "platform/lines/receiver_line.h"

namespace koru {

class ScriptedLine : public ReceiverLine {
 public:
  // The recording's first entry starts at `start` on the clock. The recording must outlive the
  // line.
  ScriptedLine(const Mode2Recording& recording, VirtualClock& clock, bigtime_t start = 100000);
  ScriptedLine(std::unique_ptr<Mode2Source> source, VirtualClock& clock, bigtime_t start = 100000);

  bool IsDCD() override { return timeline_.PulseAt(clock_.Now()); }
  status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) override;

 private:
  Mode2Timeline timeline_;
  VirtualClock& clock_;
};

}  // namespace koru
