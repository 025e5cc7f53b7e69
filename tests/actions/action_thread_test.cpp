#include "actions/action_thread.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "actions/actions.h"
#include "platform/desktop/fake_desktop.h"

namespace koru {

namespace {

TEST(ActionThread, RunsActionsInOrderOffTheCallingThread) {
  FakeDesktop desktop;
  ActionServices services;
  services.desktop = &desktop;
  std::mutex mutex;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  {
    ActionThread actions(services);
    for (int i = 0; i < 20; ++i) {
      actions.Post([&, i](ActionServices& s) {
        s.desktop->ActivateWorkspace(i);
        std::lock_guard lock(mutex);
        order.push_back(i);
        threads.push_back(std::this_thread::get_id());
      });
    }
    actions.WaitIdle();
  }
  ASSERT_EQ(order.size(), 20u);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(order[i], i);
  for (const auto& id : threads) EXPECT_NE(id, std::this_thread::get_id());
  EXPECT_EQ(desktop.current_workspace, 19);
}

TEST(ActionThread, DestructionEndsALongPause) {
  ActionServices services;
  bool started = false;
  std::mutex mutex;
  auto begin = std::chrono::steady_clock::now();
  {
    ActionThread actions(services);
    actions.Post([&](ActionServices&) {
      {
        std::lock_guard lock(mutex);
        started = true;
      }
      snooze(60'000'000);
    });
    for (;;) {
      std::lock_guard lock(mutex);
      if (started) break;
    }
  }
  // Ended at the pause, long before its minute was over.
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
}

}  // namespace

}  // namespace koru
