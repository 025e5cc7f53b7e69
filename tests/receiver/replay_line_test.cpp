#include "platform/replay_line.h"

#include <gtest/gtest.h>

#include "platform/threads.h"

namespace {

// The times come from the recording, so a caller that is late (here: one that sleeps between
// its calls) still measures every period exactly; nothing depends on how fast it wakes up.
TEST(ReplayLine, ALateCallerGetsEveryChangeWithItsRecordedTime) {
  ReplayLine line({{true, 560}, {false, 1690}, {true, 560}, {false, 560}, {true, 560}});
  LevelChange change;
  const bigtime_t start = system_time();
  ASSERT_EQ(line.WaitForChange(start, kNoDeadline, &change), kOk);  // the lead-in
  EXPECT_TRUE(change.pulse);
  EXPECT_GE(change.time - start, 100000);
  bigtime_t t0 = change.time;
  snooze(5000);  // late for all the rest
  const bigtime_t expected[] = {560, 1690, 560, 560, 560};
  bool pulse = true;
  for (const bigtime_t duration : expected) {
    ASSERT_EQ(line.WaitForChange(t0, kNoDeadline, &change), kOk);
    pulse = !pulse;
    EXPECT_EQ(change.time - t0, duration);
    EXPECT_EQ(change.pulse, pulse);
    t0 = change.time;
  }
}

TEST(ReplayLine, DeadlineAndResume) {
  ReplayLine line({{true, 1000}, {false, 30000}, {true, 1000}});
  LevelChange change;
  ASSERT_EQ(line.WaitForChange(system_time(), kNoDeadline, &change), kOk);
  ASSERT_EQ(line.WaitForChange(change.time, kNoDeadline, &change), kOk);
  const bigtime_t space_start = change.time;
  // The next change is 30 ms away: a deadline 15 ms after the last change passes first, even
  // for a caller that only asks after the change has happened.
  snooze(31000);
  EXPECT_EQ(line.WaitForChange(space_start, space_start + 15001, &change), kTimedOut);
  ASSERT_EQ(line.WaitForChange(space_start, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time - space_start, 30000);
  // A caller that was away (suspended) asks from its own time: changes before it are past.
  const bigtime_t resumed = change.time + 500;
  ASSERT_EQ(line.WaitForChange(resumed, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time - resumed, 500);
  EXPECT_FALSE(change.pulse);
}

}  // namespace
