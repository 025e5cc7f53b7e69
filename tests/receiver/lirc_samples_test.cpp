// Kernel receiver samples read as timed level changes, against a scripted device on a virtual
// clock.
#include "platform/lirc_samples.h"

#include <gtest/gtest.h>

#include <deque>

#include "platform/trace.h"

namespace {

// What one read gives: a sample, or a status (EINTR, an unplugged device).
struct Item {
  bigtime_t arrives;  // queued from this time on
  uint32_t sample;
  status_t status = kOk;
};

uint32_t Pulse(uint32_t us) {
  return kLircPulse | us;
}
uint32_t Space(uint32_t us) {
  return kLircSpace | us;
}

class FakeDevice : public LircSource {
 public:
  FakeDevice(VirtualClock& clock, std::deque<Item> items)
      : clock_(clock), items_(std::move(items)) {}
  status_t Read(uint32_t* sample) override {
    ++reads;
    if (items_.empty() || items_.front().arrives > clock_.Now()) return kResourceUnavailable;
    const Item item = items_.front();
    items_.pop_front();
    *sample = item.sample;
    return item.status;
  }
  status_t Wait(bigtime_t deadline) override {
    if (items_.empty() && deadline == kNoDeadline) return kNoDevice;  // nothing will come
    if (!items_.empty() && items_.front().arrives <= deadline) {
      clock_.AdvanceTo(items_.front().arrives);
      return kOk;
    }
    clock_.AdvanceTo(deadline);
    return kTimedOut;
  }
  int reads = 0;

 private:
  VirtualClock& clock_;
  std::deque<Item> items_;
};

class LircSamples : public ::testing::Test {
 protected:
  void SetUp() override { SetThreadClock(&clock_); }
  void TearDown() override { SetThreadClock(nullptr); }
  VirtualClock clock_{1000000};
  LircSampleReader reader_;
};

TEST_F(LircSamples, AReaderThatIsLateGetsTheKernelsPeriods) {
  // A burst queued while the reader was busy; timeout and carrier samples are not changes, and
  // EINTR and EAGAIN are only reasons to read again.
  FakeDevice device(clock_, {{1000000, Space(50000)},
                             {1000000, 0, kInterrupted},
                             {1009000, Pulse(9000)},
                             {1013500, Space(4500)},
                             {1013500, kLircFrequency | 38000},
                             {1014060, Pulse(560)},
                             {1014060, kLircTimeout | 125000},
                             {1015750, Space(1690)}});
  LevelChange change;
  ASSERT_EQ(reader_.WaitForChange(device, 900000, kNoDeadline, &change), kOk);
  EXPECT_TRUE(change.pulse);  // a space ended
  bigtime_t t0 = change.time;
  clock_.AdvanceTo(1100000);  // late for all the rest
  const bigtime_t periods[] = {9000, 4500, 560, 1690};
  bool pulse = true;
  for (const bigtime_t period : periods) {
    ASSERT_EQ(reader_.WaitForChange(device, t0, kNoDeadline, &change), kOk);
    pulse = !pulse;
    EXPECT_EQ(change.time - t0, period);
    EXPECT_EQ(change.pulse, pulse);
    t0 = change.time;
  }
}

TEST_F(LircSamples, ADeadlineEndsTheWaitAndTheNextChangeStillComes) {
  FakeDevice device(clock_, {{1000000, Space(40000)}, {1030000, Pulse(560)}});
  LevelChange change;
  ASSERT_EQ(reader_.WaitForChange(device, 900000, kNoDeadline, &change), kOk);
  const bigtime_t t0 = change.time;
  EXPECT_EQ(reader_.WaitForChange(device, t0, t0 + 15001, &change), kTimedOut);
  EXPECT_EQ(clock_.Now(), t0 + 15001);
  ASSERT_EQ(reader_.WaitForChange(device, t0, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time - t0, 560);
  // A sample read while it was already past the deadline is kept for the next wait.
  FakeDevice late(clock_, {{clock_.Now(), Space(20000)}});
  const bigtime_t t1 = change.time;
  clock_.AdvanceTo(t1 + 30000);
  EXPECT_EQ(reader_.WaitForChange(late, t1, t1 + 15001, &change), kTimedOut);
  ASSERT_EQ(reader_.WaitForChange(late, t1, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time - t1, 20000);
}

TEST_F(LircSamples, SamplesThatEndedBeforeTheWaitBeganArePassedOver) {
  // The thread was suspended; on its resume it listens from its own time.
  FakeDevice device(clock_, {{1000000, Space(50000)},
                             {1000600, Pulse(600)},
                             {1001200, Space(600)},
                             {1001800, Pulse(600)}});
  LevelChange change;
  ASSERT_EQ(reader_.WaitForChange(device, 900000, kNoDeadline, &change), kOk);
  clock_.AdvanceTo(1002000);
  ASSERT_EQ(reader_.WaitForChange(device, 1001500, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time, 1001800);
  EXPECT_FALSE(change.pulse);
}

TEST_F(LircSamples, OverflowAndUnplug) {
  FakeDevice device(clock_, {{1000000, Space(50000)},
                             {1000600, kLircOverflow},
                             {1001000, Pulse(400)},
                             {1002000, 0, kNoDevice}});
  LevelChange change;
  ASSERT_EQ(reader_.WaitForChange(device, 900000, kNoDeadline, &change), kOk);
  {
    TraceCapture trace;
    EXPECT_EQ(reader_.WaitForChange(device, change.time, kNoDeadline, &change), kEdgesLost);
    EXPECT_EQ(trace.Text(), "** lirc overflow: burst dropped **\n");
  }
  // After the overflow the times start afresh from the clock.
  ASSERT_EQ(reader_.WaitForChange(device, change.time, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time, 1001000);
  EXPECT_EQ(reader_.WaitForChange(device, change.time, kNoDeadline, &change), kNoDevice);
}

}  // namespace
