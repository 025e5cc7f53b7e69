#include "platform/messaging/clock.h"

#include <chrono>

#include "platform/messaging/threads.h"

namespace koru {

namespace {
thread_local Clock* t_clock = nullptr;
}

void VirtualClock::Snooze(bigtime_t microseconds) {
  if (microseconds > 0) now_ += microseconds;
}

void VirtualClock::SuspendSelf() {
  if (on_suspend_) on_suspend_(*this);
}

void SetThreadClock(Clock* clock) {
  t_clock = clock;
}
Clock* ThreadClock() {
  return t_clock;
}

bigtime_t system_time() {
  if (t_clock != nullptr) return t_clock->Now();
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace koru
