#include "platform/scripted_line.h"

ScriptedLine::ScriptedLine(const Mode2Recording& recording, VirtualClock& clock, bigtime_t start)
    : timeline_(recording, start), clock_(clock) {}

status_t ScriptedLine::WaitForChange(bigtime_t since, bigtime_t* period) {
  int64_t change = 0;
  // The cycle's level is the level at its start; the period ends at the first change after it.
  const bigtime_t from = since > clock_.Now() ? since : clock_.Now();
  if (!timeline_.NextChange(from, &change)) return kTimedOut;
  clock_.AdvanceTo(change);
  *period = change - since;
  return kOk;
}
