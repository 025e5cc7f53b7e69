#include "platform/driven_line.h"

#include "platform/line_polling.h"

void DrivenLine::SetLevel(bool level) {
  {
    std::lock_guard lock(mutex_);
    if (level_.exchange(level) == level) return;
    ++changes_;
  }
  changed_.notify_all();
}

void DrivenLine::Unplug() {
  {
    std::lock_guard lock(mutex_);
    unplugged_.store(true);
    ++changes_;
  }
  changed_.notify_all();
}

status_t DrivenLine::WaitForChange(bigtime_t since, bigtime_t* period) {
  if (wait_ == Wait::kEvent) return WaitForEvent(since, period);
  auto read = [](void* context, bool* level, status_t* status) {
    auto* line = static_cast<DrivenLine*>(context);
    if (line->unplugged_.load()) {
      *status = kNoDevice;
      return false;
    }
    *level = line->level_.load();
    return true;
  };
  return PollForChange(read, this, since, period);
}

status_t DrivenLine::WaitForEvent(bigtime_t since, bigtime_t* period) {
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
  const uint64_t seen = changes_;
  for (;;) {
    if (unplugged_.load()) return kNoDevice;
    if (changes_ != seen) break;
    if (wake_) {
      wake_ = false;
      lock.unlock();
      thread_checkpoint();  // suspends here, or ends the thread on a kill
      lock.lock();
      continue;
    }
    changed_.wait(lock);
  }
  lock.unlock();
  *period = system_time() - since;
  return kOk;
}
