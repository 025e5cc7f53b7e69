#pragma once
// Time in microseconds. A thread may run on a clock of its own (a virtual clock in tests and in
// the replay tools); every other thread runs on the monotonic system clock.
#include <cstdint>
#include <functional>

namespace koru {

using bigtime_t = int64_t;

class Clock {
 public:
  virtual ~Clock() = default;
  virtual bigtime_t Now() = 0;
  virtual void Snooze(bigtime_t microseconds) = 0;
  // The thread suspends itself; a virtual clock decides when it goes on.
  virtual void SuspendSelf() = 0;
};

// Time that moves only when the thread on it sleeps or is moved on by hand.
class VirtualClock : public Clock {
 public:
  explicit VirtualClock(bigtime_t start = 0) : now_(start) {}
  bigtime_t Now() override { return now_; }
  void Snooze(bigtime_t microseconds) override;
  void SuspendSelf() override;
  void AdvanceTo(bigtime_t time) {
    if (time > now_) now_ = time;
  }
  // Called on a self-suspension; it should move the clock to the moment of the resume.
  void SetOnSuspend(std::function<void(VirtualClock&)> on_suspend) {
    on_suspend_ = std::move(on_suspend);
  }

 private:
  bigtime_t now_;
  std::function<void(VirtualClock&)> on_suspend_;
};

// The calling thread's clock from now on (nullptr: the system clock).
void SetThreadClock(Clock* clock);
Clock* ThreadClock();

// Microseconds, monotonic, on the calling thread's clock.
bigtime_t system_time();
// Sleeps; on a thread of ours also the point where suspension and kill take effect.
void snooze(bigtime_t microseconds);

}  // namespace koru
