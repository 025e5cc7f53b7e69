#include "platform/replay_line.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/threads.h"

namespace {

struct Player {
  ReplayLine* line = nullptr;
  std::atomic<int> periods{0};
  std::atomic<bigtime_t> total{0};
};

int32_t Listen(void* data) {
  auto* player = static_cast<Player*>(data);
  for (;;) {
    const bigtime_t t0 = system_time();
    bigtime_t period = 0;
    if (player->line->WaitForChange(t0, &period) != kOk) return 1;
    player->total.fetch_add(period);
    player->periods.fetch_add(1);
  }
}

TEST(ReplayLine, PlaysInRealTimeThenStaysIdle) {
  ReplayLine line({{true, 2000}, {false, 3000}, {true, 2000}});
  Player player;
  player.line = &line;
  const thread_id thread = spawn_thread(Listen, "replay", kNormalPriority, &player);
  resume_thread(thread);
  for (int i = 0; i < 2000 && !line.Finished(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(line.Finished());
  // Lead-in, pulse, space, pulse: four periods on an absolute timeline of 107 ms; lateness of
  // one wake-up shortens the next period, so only the last one can stretch the sum.
  EXPECT_EQ(player.periods.load(), 4);
  EXPECT_GE(player.total.load(), 105000);
  EXPECT_LE(player.total.load(), 150000);
  // Idle for good, but a kill still ends it.
  ASSERT_EQ(kill_thread(thread), kOk);
  int32_t status = 0;
  ASSERT_EQ(wait_for_thread(thread, &status), kOk);
  EXPECT_EQ(status, kInterrupted);
}

}  // namespace
