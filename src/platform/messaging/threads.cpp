#include "platform/messaging/threads.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace koru {

namespace {

// Thrown at a wait point of a killed thread and caught by the thread's entry; nothing else in
// the program uses exceptions, so nothing catches it on the way.
struct ThreadKilled {};

struct ThreadControl {
  thread_id id = -1;
  std::string name;
  thread_func func = nullptr;
  void* data = nullptr;

  std::mutex mutex;
  std::condition_variable cv;
  int32_t priority = kNormalPriority;
  ThreadState state = ThreadState::kSpawned;
  bool started = false;
  bool suspend_requested = false;
  int resume_count = 0;  // a resume that arrives before the suspension is not lost
  bool kill_requested = false;
  int32_t exit_status = 0;
  pid_t tid = 0;
  std::function<void()> waker;
};

std::mutex g_registry_mutex;
std::map<thread_id, std::shared_ptr<ThreadControl>> g_threads;
std::atomic<thread_id> g_next_id{1};
thread_local std::shared_ptr<ThreadControl> t_self;

std::shared_ptr<ThreadControl> Lookup(thread_id id) {
  std::lock_guard lock(g_registry_mutex);
  auto it = g_threads.find(id);
  return it == g_threads.end() ? nullptr : it->second;
}

// Nice value for a priority: 10 is normal; higher priorities ask for a lower nice value.
int NiceFor(int32_t priority) {
  // In 64 bits: a priority of INT32_MIN (a damaged setting) must not overflow.
  return static_cast<int>(std::clamp<int64_t>((int64_t{kNormalPriority} - priority) / 3, -20, 19));
}

void ApplyPriority(ThreadControl& control) {
  // Lowering the nice value needs privileges; without them the priority is only recorded.
  if (control.tid != 0)
    setpriority(PRIO_PROCESS, static_cast<id_t>(control.tid), NiceFor(control.priority));
}

// Blocks while a suspension is pending; throws when a kill is pending. Caller holds the lock.
void WaitPoint(ThreadControl& self, std::unique_lock<std::mutex>& lock) {
  if (self.kill_requested) throw ThreadKilled{};
  if (self.suspend_requested) {
    if (self.resume_count > 0) {
      --self.resume_count;
      self.suspend_requested = false;
    } else {
      self.state = ThreadState::kSuspended;
      self.cv.wait(lock, [&] { return self.resume_count > 0 || self.kill_requested; });
      if (self.kill_requested) throw ThreadKilled{};
      --self.resume_count;
      self.suspend_requested = false;
      self.state = ThreadState::kRunning;
    }
  }
}

void ThreadMain(std::shared_ptr<ThreadControl> control) {
  t_self = control;
  {
    std::unique_lock lock(control->mutex);
    control->tid = static_cast<pid_t>(syscall(SYS_gettid));
    ApplyPriority(*control);
    control->cv.wait(lock, [&] { return control->started || control->kill_requested; });
    control->state = ThreadState::kRunning;
  }
  int32_t status = kInterrupted;
  try {
    {
      std::unique_lock lock(control->mutex);
      if (control->kill_requested) throw ThreadKilled{};
    }
    status = control->func(control->data);
  } catch (const ThreadKilled&) {
    status = kInterrupted;
  }
  {
    std::lock_guard lock(control->mutex);
    control->exit_status = status;
    control->state = ThreadState::kEnded;
    control->waker = nullptr;
  }
  control->cv.notify_all();
  t_self.reset();
}

}  // namespace

thread_id spawn_thread(thread_func func, const char* name, int32_t priority, void* data) {
  if (func == nullptr) return kBadValue;
  auto control = std::make_shared<ThreadControl>();
  control->id = g_next_id.fetch_add(1);
  control->name = name ? name : "";
  control->func = func;
  control->data = data;
  control->priority = priority;
  {
    std::lock_guard lock(g_registry_mutex);
    g_threads[control->id] = control;
  }
  std::thread(ThreadMain, control).detach();
  return control->id;
}

status_t resume_thread(thread_id thread) {
  auto control = Lookup(thread);
  if (!control) return kBadThreadId;
  {
    std::lock_guard lock(control->mutex);
    if (control->state == ThreadState::kEnded) return kBadThreadId;
    if (!control->started) {
      control->started = true;
    } else if (control->suspend_requested) {
      ++control->resume_count;
    } else {
      return kBadThreadId;  // not suspended: nothing to resume
    }
  }
  control->cv.notify_all();
  return kOk;
}

status_t suspend_thread(thread_id thread) {
  if (t_self && t_self->id == thread) {
    if (Clock* clock = ThreadClock()) {
      clock->SuspendSelf();
      return kOk;
    }
    std::unique_lock lock(t_self->mutex);
    t_self->suspend_requested = true;
    WaitPoint(*t_self, lock);
    return kOk;
  }
  auto control = Lookup(thread);
  if (!control) return kBadThreadId;
  std::function<void()> waker;
  {
    std::lock_guard lock(control->mutex);
    if (control->state == ThreadState::kEnded) return kBadThreadId;
    control->suspend_requested = true;
    control->resume_count = 0;
    waker = control->waker;
  }
  control->cv.notify_all();
  if (waker) waker();
  return kOk;
}

status_t kill_thread(thread_id thread) {
  auto control = Lookup(thread);
  if (!control) return kBadThreadId;
  std::function<void()> waker;
  {
    std::lock_guard lock(control->mutex);
    if (control->state == ThreadState::kEnded) return kBadThreadId;
    control->kill_requested = true;
    waker = control->waker;
  }
  control->cv.notify_all();
  if (waker) waker();
  return kOk;
}

status_t wait_for_thread(thread_id thread, int32_t* exit_status) {
  auto control = Lookup(thread);
  if (!control) return kBadThreadId;
  if (t_self && t_self->id == thread) return kNotAllowed;
  {
    std::unique_lock lock(control->mutex);
    if (!control->started && !control->kill_requested) {
      control->started = true;  // waiting for a thread that was never resumed starts it
      control->cv.notify_all();
    }
    control->cv.wait(lock, [&] { return control->state == ThreadState::kEnded; });
    if (exit_status) *exit_status = control->exit_status;
  }
  std::lock_guard lock(g_registry_mutex);
  g_threads.erase(thread);
  return kOk;
}

status_t set_thread_priority(thread_id thread, int32_t priority) {
  auto control = Lookup(thread);
  if (!control) return kBadThreadId;
  std::lock_guard lock(control->mutex);
  control->priority = priority;
  ApplyPriority(*control);
  return kOk;
}

status_t get_thread_info(thread_id thread, thread_info* info) {
  auto control = Lookup(thread);
  if (!control || info == nullptr) return kBadThreadId;
  std::lock_guard lock(control->mutex);
  info->thread = control->id;
  info->name = control->name;
  info->priority = control->priority;
  info->state = control->state;
  return kOk;
}

thread_id find_thread(const char* name) {
  if (name == nullptr) return t_self ? t_self->id : -1;
  std::lock_guard lock(g_registry_mutex);
  for (const auto& [id, control] : g_threads) {
    if (control->name == name) return id;
  }
  return kNameNotFound;
}

void thread_checkpoint() {
  if (!t_self) return;
  std::unique_lock lock(t_self->mutex);
  WaitPoint(*t_self, lock);
}

bool thread_kill_requested() {
  if (!t_self) return false;
  std::lock_guard lock(t_self->mutex);
  return t_self->kill_requested;
}

void set_thread_waker(std::function<void()> waker) {
  if (!t_self) return;
  std::lock_guard lock(t_self->mutex);
  t_self->waker = std::move(waker);
}

void snooze(bigtime_t microseconds) {
  // The waits below count in nanoseconds from the clock's epoch: a far time would overflow and
  // return at once. A longer sleep ends early, as callers that wait for a time expect anyway.
  constexpr bigtime_t kLongestSnooze = bigtime_t{86400} * 1000 * 1000;
  microseconds = std::min(microseconds, kLongestSnooze);
  if (Clock* clock = ThreadClock()) {
    clock->Snooze(microseconds);
    return;
  }
  if (!t_self) {
    if (microseconds > 0) std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    return;
  }
  std::unique_lock lock(t_self->mutex);
  WaitPoint(*t_self, lock);
  if (microseconds > 0) {
    t_self->state = ThreadState::kWaiting;
    t_self->cv.wait_for(lock, std::chrono::microseconds(microseconds),
                        [&] { return t_self->kill_requested || t_self->suspend_requested; });
    t_self->state = ThreadState::kRunning;
  }
  WaitPoint(*t_self, lock);
}

}  // namespace koru
