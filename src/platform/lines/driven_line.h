#pragma once
// A line whose level another thread sets in real time (tests and benchmarks). The receiving
// thread waits either by polling the level, as on a serial port without modem-status
// interrupts (a change is timed when a read sees it), or event-driven: each change is queued
// with the time it was set, as a kernel receiver queues its samples.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/lines/receiver_line.h"
#include "platform/messaging/threads.h"

namespace koru {

class DrivenLine : public ReceiverLine {
 public:
  enum class Wait { kPolling, kEvent };
  explicit DrivenLine(Wait wait) : wait_(wait) {}

  // Any thread: sets the level (a change wakes an event-driven wait).
  void SetLevel(bool level);
  // Any thread: the device disappears; waits give kNoDevice from now on.
  void Unplug();
  // Counts of the settings calls, for tests.
  int32_t ClearCount() const { return clears_.load(); }
  bool Dtr() const { return dtr_.load(); }

  bool IsDCD() override { return level_.load(); }
  status_t SetDTR(bool on) override {
    dtr_.store(on);
    return kOk;
  }
  status_t ClearInput() override {
    clears_.fetch_add(1);
    return kOk;
  }
  status_t WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) override;

 private:
  status_t WaitForEvent(bigtime_t since, bigtime_t deadline, LevelChange* change);

  const Wait wait_;
  std::atomic<bool> level_{false};
  std::atomic<bool> unplugged_{false};
  std::atomic<bool> dtr_{false};
  std::atomic<int32_t> clears_{0};

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<LevelChange> changes_;  // guarded by mutex_
  bool wake_ = false;                // guarded by mutex_
  thread_id waker_owner_ = -1;
};

}  // namespace koru
