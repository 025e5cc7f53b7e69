#pragma once
// Threads with the system's verbs: spawn, resume, suspend, kill. Suspension of another thread
// and kill are cooperative: they take effect at the thread's next wait (snooze or
// thread_checkpoint), or when a registered waker breaks a blocking wait.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/messaging/clock.h"
#include "platform/messaging/status.h"

namespace koru {

using thread_id = int32_t;
using thread_func = int32_t (*)(void*);

enum class ThreadState { kSpawned, kRunning, kWaiting, kSuspended, kEnded };

struct thread_info {
  thread_id thread = -1;
  std::string name;
  int32_t priority = 0;
  ThreadState state = ThreadState::kEnded;
};

constexpr int32_t kNormalPriority = 10;
constexpr int32_t kDisplayPriority = 15;
constexpr int32_t kUrgentDisplayPriority = 20;
constexpr int32_t kRealTimeDisplayPriority = 100;

// Creates the thread stopped; resume_thread starts it. Negative on failure.
thread_id spawn_thread(thread_func func, const char* name, int32_t priority, void* data);
// Starts a spawned thread or wakes a suspended one.
status_t resume_thread(thread_id thread);
// The calling thread: stops here until resumed. Another thread: stops at its next wait.
status_t suspend_thread(thread_id thread);
// Ends the thread at its next wait; its exit status is kInterrupted.
status_t kill_thread(thread_id thread);
// Waits until the thread has ended and gives its exit status.
status_t wait_for_thread(thread_id thread, int32_t* exit_status);
status_t set_thread_priority(thread_id thread, int32_t priority);
status_t get_thread_info(thread_id thread, thread_info* info);
// nullptr: the calling thread's id (-1 for a thread not started here); else the first by name.
thread_id find_thread(const char* name);

// A wait point for loops that block elsewhere: suspends here or ends the thread as requested.
void thread_checkpoint();
// True once kill_thread was called for the calling thread.
bool thread_kill_requested();
// A function that breaks the calling thread's current blocking wait (e.g. a signal to a
// blocked ioctl); called by suspend_thread and kill_thread from other threads. Empty to clear.
void set_thread_waker(std::function<void()> waker);

}  // namespace koru
