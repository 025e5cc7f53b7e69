#include "actions/action_thread.h"

#include "platform/desktop_services.h"
#include "platform/messaging/trace.h"

namespace koru {

ActionServices ActionServicesFor(const DesktopServices& backends) {
  ActionServices services;
  services.desktop = backends.desktop.get();
  services.players = backends.players.get();
  services.mixer = backends.mixer.get();
  services.launcher = backends.launcher.get();
  return services;
}

ActionThread::ActionThread(const ActionServices& services) : services_(services) {
  thread_ = spawn_thread(&ActionThread::Run, "action_thread", kNormalPriority, this);
  if (thread_ < 0)
    Trace("ActionThread: cannot spawn the action thread\n");
  else
    resume_thread(thread_);
}

ActionThread::~ActionThread() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  if (thread_ >= 0) {
    kill_thread(thread_);
    int32_t status = 0;
    wait_for_thread(thread_, &status);
  }
}

void ActionThread::Post(Action action) {
  {
    std::lock_guard lock(mutex_);
    if (stop_ || thread_ < 0) return;
    queue_.push_back(std::move(action));
  }
  wake_.notify_one();
}

void ActionThread::WaitIdle() {
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [&] { return (queue_.empty() && !running_action_) || stop_; });
}

int32_t ActionThread::Run(void* data) {
  static_cast<ActionThread*>(data)->Loop();
  return 0;
}

void ActionThread::Loop() {
  set_thread_waker([this] { wake_.notify_all(); });
  for (;;) {
    Action action;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stop_ || !queue_.empty() || thread_kill_requested(); });
      if (stop_ || thread_kill_requested()) {
        running_action_ = false;
        idle_.notify_all();
        return;
      }
      action = std::move(queue_.front());
      queue_.pop_front();
      running_action_ = true;
    }
    action(services_);
    {
      std::lock_guard lock(mutex_);
      running_action_ = false;
    }
    idle_.notify_all();
  }
}

}  // namespace koru
