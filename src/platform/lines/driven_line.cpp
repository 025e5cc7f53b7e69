#include "platform/lines/driven_line.h"

#include <chrono>

#include "platform/lines/line_polling.h"

namespace koru {

void DrivenLine::SetLevel(bool level) {
  const bigtime_t now = system_time();
  {
    std::lock_guard lock(mutex_);
    if (level_.exchange(level) == level) return;
    changes_.push_back({now, level});
  }
  changed_.notify_all();
}

void DrivenLine::Unplug() {
  {
    std::lock_guard lock(mutex_);
    unplugged_.store(true);
  }
  changed_.notify_all();
}

status_t DrivenLine::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  if (wait_ == Wait::kEvent) return WaitForEvent(since, deadline, change);
  auto read = [](void* context, bool* level, status_t* status) {
    auto* line = static_cast<DrivenLine*>(context);
    if (line->unplugged_.load()) {
      *status = kNoDevice;
      return false;
    }
    *level = line->level_.load();
    return true;
  };
  return PollForChange(read, this, since, deadline, change);
}

status_t DrivenLine::WaitForEvent(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  // The waker lets suspend_thread and kill_thread break the blocking wait; registered once per
  // receiving thread so that the wait itself never allocates.
  const thread_id self = find_thread(nullptr);
  if (self != waker_owner_) {
    waker_owner_ = self;
    set_thread_waker([this] {
      {
        std::lock_guard lock(mutex_);
        wake_ = true;
      }
      changed_.notify_all();
    });
  }
  std::unique_lock lock(mutex_);
  for (;;) {
    if (unplugged_.load()) return kNoDevice;
    // Changes from before `since` came while nobody was listening.
    while (!changes_.empty() && changes_.front().time < since) changes_.pop_front();
    if (!changes_.empty() && changes_.front().time <= deadline) {
      *change = changes_.front();
      changes_.pop_front();
      return kOk;
    }
    const bigtime_t now = system_time();
    if (now >= deadline) return kTimedOut;
    if (wake_) {
      wake_ = false;
      lock.unlock();
      thread_checkpoint();  // suspends here, or ends the thread on a kill
      lock.lock();
      continue;
    }
    if (deadline == kNoDeadline) {
      changed_.wait(lock);
    } else {
      changed_.wait_for(lock, std::chrono::microseconds(deadline - now));
    }
  }
}

}  // namespace koru
