#pragma once
// Loopers for tests and tools: one that runs a task at once, one that queues until drained.
#include <deque>
#include <functional>
#include <mutex>

#include "platform/messaging/messenger.h"

namespace koru {

class ImmediateLooper : public Looper {
 public:
  void Post(std::function<void()> task) override { task(); }
};

class QueueLooper : public Looper {
 public:
  void Post(std::function<void()> task) override;
  // Runs every queued task, including those posted while running; returns how many ran.
  int RunPending();
  size_t Pending() const;

 private:
  mutable std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

}  // namespace koru
