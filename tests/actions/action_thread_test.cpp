#include "actions/action_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "actions/actions.h"
#include "platform/desktop/fake_desktop.h"

namespace koru {

namespace {

TEST(ActionThread, RunsActionsInOrderOffTheCallingThread) {
  FakeDesktop desktop;
  ActionServices services;
  services.desktop = &desktop;
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  {
    ActionThread actions(services);
    for (int i = 0; i < 20; ++i) {
      actions.Post([&, i](ActionServices& s) {
        s.desktop->ActivateWorkspace(i);
        order.push_back(i);  // one action at a time: no lock
        threads.push_back(std::this_thread::get_id());
      });
    }
    actions.WaitIdle();
  }
  EXPECT_EQ(order, (std::vector<int>{0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                     10, 11, 12, 13, 14, 15, 16, 17, 18, 19}));
  for (const auto& id : threads) EXPECT_NE(id, std::this_thread::get_id());
  EXPECT_EQ(desktop.current_workspace, 19);
}

TEST(ActionThread, DestructionEndsALongPause) {
  ActionServices services;
  std::atomic<bool> started = false;
  auto begin = std::chrono::steady_clock::now();
  {
    ActionThread actions(services);
    actions.Post([&](ActionServices&) {
      started = true;
      snooze(60'000'000);
    });
    while (!started) std::this_thread::yield();
  }
  // Ended at the pause, long before its minute was over.
  EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(30));
}

}  // namespace

}  // namespace koru
