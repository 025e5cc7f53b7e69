#include "platform/messaging/test_loopers.h"

namespace koru {

void QueueLooper::Post(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  tasks_.push_back(std::move(task));
}

int QueueLooper::RunPending() {
  int ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(mutex_);
      if (tasks_.empty()) return ran;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
    ++ran;
  }
}

size_t QueueLooper::Pending() const {
  std::lock_guard lock(mutex_);
  return tasks_.size();
}

}  // namespace koru
