#include "platform/lines/line_polling.h"

#include "platform/lines/timer_slack.h"
#include "platform/messaging/threads.h"

namespace koru {

namespace {

constexpr int64_t kMinimalSlackNs = 1;
thread_local bool t_slack_set = false;

}  // namespace

void UseMinimalTimerSlack() {
  if (!t_slack_set) t_slack_set = SetThreadTimerSlack(kMinimalSlackNs) == kOk;
}

bigtime_t PollInterval(bigtime_t quiet) {
  return quiet > kIdleAfter ? kIdlePollInterval : kLinePollInterval;
}

status_t PollForChange(LevelReader read_level, void* context, bigtime_t since, bigtime_t deadline,
                       LevelChange* change) {
  UseMinimalTimerSlack();
  bool start_level = false;
  status_t status = kOk;
  if (!read_level(context, &start_level, &status)) return status;
  for (;;) {
    const bigtime_t now = system_time();
    if (now >= deadline) return kTimedOut;
    bigtime_t interval = PollInterval(now - since);
    if (deadline - now < interval) interval = deadline - now;
    snooze(interval);
    bool level = start_level;
    if (!read_level(context, &level, &status)) return status;
    if (level != start_level) {
      change->time = system_time();
      change->pulse = level;
      return kOk;
    }
  }
}

}  // namespace koru
