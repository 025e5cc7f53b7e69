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
  // Long periods, played to the end by a receiving thread.
  ReplayLine line({{true, 20000}, {false, 30000}, {true, 20000}});
  Player player;
  player.line = &line;
  const thread_id thread = spawn_thread(Listen, "replay", kNormalPriority, &player);
  resume_thread(thread);
  for (int i = 0; i < 2000 && !line.Finished(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(line.Finished());
  // Lead-in, pulse, space, pulse: four periods on an absolute timeline of 170 ms; lateness of
  // one wake-up shortens the next period, so only the last one can stretch the sum.
  EXPECT_EQ(player.periods.load(), 4);
  EXPECT_GE(player.total.load(), 165000);
  EXPECT_LE(player.total.load(), 250000);
  // Idle for good, but a kill still ends it.
  ASSERT_EQ(kill_thread(thread), kOk);
  int32_t status = 0;
  ASSERT_EQ(wait_for_thread(thread, &status), kOk);
  EXPECT_EQ(status, kInterrupted);
}

TEST(ReplayLine, AThreadThatIsLateGetsEveryEdgeWithItsTrueDuration) {
  // Short periods: a busy thread comes back after the next edges are due and still gets each
  // of them, exactly, as from a kernel receiver. No second thread: the calls are made late here.
  ReplayLine line({{true, 560}, {false, 1690}, {true, 560}, {false, 560}, {true, 560}});
  bigtime_t period = 0;
  ASSERT_EQ(line.WaitForChange(system_time(), &period), kOk);  // the lead-in
  EXPECT_NEAR(period, 100000, 1000);  // the line starts its clock a moment after `since`
  snooze(5000);                       // late for all the rest
  const bigtime_t expected[] = {560, 1690, 560, 560, 560};
  for (const bigtime_t duration : expected) {
    ASSERT_EQ(line.WaitForChange(system_time(), &period), kOk);
    EXPECT_EQ(period, duration);
  }
}

TEST(ReplayLine, AfterALongPauseTheWaitStartsAtItsOwnTime) {
  ReplayLine line({{true, 1000}, {false, 300000}, {true, 1000}});
  bigtime_t period = 0;
  ASSERT_EQ(line.WaitForChange(system_time(), &period), kOk);
  ASSERT_EQ(line.WaitForChange(system_time(), &period), kOk);
  EXPECT_EQ(period, 1000);
  snooze(150000);  // a suspended thread: the edges it missed are not handed out again
  const bigtime_t since = system_time();
  ASSERT_EQ(line.WaitForChange(since, &period), kOk);
  EXPECT_GT(period, 100000);
  EXPECT_LT(period, 160000);
}

}  // namespace
