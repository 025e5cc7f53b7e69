#include "platform/replay_line.h"

#include <gtest/gtest.h>

#include "platform/threads.h"

namespace {

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
