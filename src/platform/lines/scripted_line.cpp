#include "platform/lines/scripted_line.h"

namespace koru {

ScriptedLine::ScriptedLine(const Mode2Recording& recording, VirtualClock& clock, bigtime_t start)
    : ScriptedLine(std::make_unique<Mode2MemorySource>(recording), clock, start) {}

ScriptedLine::ScriptedLine(std::unique_ptr<Mode2Source> source, VirtualClock& clock,
                           bigtime_t start)
    : timeline_(std::move(source), start), clock_(clock) {}

status_t ScriptedLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  int64_t at = 0;
  bool pulse = false;
  const bigtime_t from = since > clock_.Now() ? since : clock_.Now();
  const bool comes = timeline_.NextChange(from, &at, &pulse);
  if (!comes && deadline == kNoDeadline) return kLineEnded;
  if (!comes || at > deadline) {
    clock_.AdvanceTo(deadline);
    return kTimedOut;
  }
  clock_.AdvanceTo(at);
  change->time = at;
  change->pulse = pulse;
  return kOk;
}

}  // namespace koru
