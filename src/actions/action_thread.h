#pragma once
// The action thread: runs the actions one after another in the order they were posted (key
// order), off the GUI thread, so that their pauses, replies and launch waits never freeze a
// window. Whatever an action shows goes through MuteIndicator / StatusLabel implementations
// that post to the GUI thread.
//
// Set-up in the program:
//
//   DesktopServices backends = CreateDesktopServices();   // platform/desktop_services.h
//   ActionThread actions(ActionServicesFor(backends));    // backends must outlive `actions`
//
// Entry point for the key routing: post a function that calls the action(s) for key function
// n with the caller's arguments, e.g.
//
//   actions.Post([](ActionServices& s) { IKeypress2App(s, 69); });
//   actions.Post([origin, view](ActionServices& s) { IMoveMouse(s, origin, 61, view, nullptr); });
//   actions.Post([path](ActionServices& s) { IOpenThisFile(s, path, true); });
//
// Everything a posted function captures must stay valid until it has run; views and
// indicators passed in must be usable from this thread (post to the GUI thread inside).
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

#include "actions/action_services.h"
#include "platform/messaging/threads.h"

namespace koru {

class ActionThread {
 public:
  using Action = std::function<void(ActionServices&)>;

  // The services must outlive the thread.
  explicit ActionThread(const ActionServices& services);
  // Drops actions not yet started and ends the running one at its next pause.
  ~ActionThread();
  ActionThread(const ActionThread&) = delete;
  ActionThread& operator=(const ActionThread&) = delete;

  void Post(Action action);
  // Blocks until every action posted so far has run (for tests and orderly shutdown).
  void WaitIdle();

 private:
  static int32_t Run(void* data);
  void Loop();

  ActionServices services_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<Action> queue_;
  bool running_action_ = false;
  bool stop_ = false;
  thread_id thread_ = -1;
};

}  // namespace koru
