#pragma once
// The polling wait for a level change: read the level, then sleep between reads until it
// differs. The reads are 100 microseconds apart while the line is busy and 1 millisecond apart
// once it has kept its level for 50 milliseconds (an idle line costs little; the first edge of
// a burst is then seen up to a millisecond late, which only shortens the idle period before
// it). The polling thread's timer slack is set to the minimum, so its sleeps end on time. Each
// sleep is a wait point of the calling thread.

#include "platform/lines/receiver_line.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/status.h"

namespace koru {

constexpr bigtime_t kLinePollInterval = 100;
constexpr bigtime_t kIdlePollInterval = 1000;
constexpr bigtime_t kIdleAfter = 50000;

// `read_level` gives kOk and the level, or an error that ends the wait.
using LevelReader = bool (*)(void* context, bool* level, status_t* status);

// The change is timed when the read sees it. kOk, kTimedOut, or the reader's error.
status_t PollForChange(LevelReader read_level, void* context, bigtime_t since, bigtime_t deadline,
                       LevelChange* change);

// Sets the calling thread's timer slack to the minimum, once per thread.
void UseMinimalTimerSlack();

// The interval before the next read, `quiet` microseconds after the last change.
bigtime_t PollInterval(bigtime_t quiet);

}  // namespace koru
