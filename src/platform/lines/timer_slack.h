#pragma once
// The calling thread's timer slack: how late the kernel may end its timed sleeps so that it can
// batch wake-ups (50 us by default on Linux). The polling receiver line sleeps 100 us between
// reads, so the slack adds directly to its measuring error.
#include <cstdint>

#include "platform/messaging/status.h"

namespace koru {

// 0 restores the default slack.
status_t SetThreadTimerSlack(int64_t nanoseconds);
int64_t ThreadTimerSlack();

}  // namespace koru
