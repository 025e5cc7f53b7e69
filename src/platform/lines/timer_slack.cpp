#include "platform/lines/timer_slack.h"

#include <sys/prctl.h>

#include <cerrno>

namespace koru {

status_t SetThreadTimerSlack(int64_t nanoseconds) {
  if (nanoseconds < 0) return kBadValue;
  if (prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(nanoseconds), 0, 0, 0) < 0)
    return StatusFromErrno(errno);
  return kOk;
}

int64_t ThreadTimerSlack() {
  return prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
}

}  // namespace koru
