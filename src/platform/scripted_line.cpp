#include "platform/scripted_line.h"

ScriptedLine::ScriptedLine(const Mode2Recording& recording, VirtualClock& clock, bigtime_t start)
    : timeline_(recording, start), clock_(clock) {}

status_t ScriptedLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  int64_t at = 0;
  const bigtime_t from = since > clock_.Now() ? since : clock_.Now();
  const bool comes = timeline_.NextChange(from, &at);
  if (!comes && deadline == kNoDeadline) return kLineEnded;
  if (!comes || at > deadline) {
    clock_.AdvanceTo(deadline);
    return kTimedOut;
  }
  clock_.AdvanceTo(at);
  change->time = at;
  change->pulse = timeline_.PulseAt(at);
  return kOk;
}
