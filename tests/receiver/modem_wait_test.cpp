// The DCD wait of serial lines against a scripted modem, on a virtual clock.
#include "platform/modem_wait.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

// One scripted step: what a wait (or, when polling, a read) returns, the time it takes, and
// the counter and level after it.
struct Step {
  status_t result;
  uint64_t count;
  bool level;
  bigtime_t takes = 500;
};

class FakeModem : public ModemLine {
 public:
  FakeModem(VirtualClock& clock, std::deque<Step> steps)
      : clock_(clock), steps_(std::move(steps)) {}
  status_t ReadDcd(bool* level) override {
    Tick();
    *level = level_;
    return read_status;
  }
  status_t DcdEdgeCount(uint64_t* count) override {
    Tick();
    *count = count_;
    return has_counter ? kOk : kUnsupported;
  }
  status_t WaitForModemChange(bigtime_t deadline) override {
    ++waits;
    if (steps_.empty()) return kIoError;
    const Step step = steps_.front();
    if (step.result == kTimedOut) {
      clock_.AdvanceTo(deadline);
    } else {
      clock_.Snooze(step.takes);
    }
    steps_.pop_front();
    count_ = step.count;
    level_ = step.level;
    return step.result;
  }
  // Polling: the scripted counter and level appear at the step's time.
  void PollTo(const Step& step) { polled_.push_back(step); }
  void Tick() {
    while (!polled_.empty() && clock_.Now() >= polled_.front().takes) {
      count_ = polled_.front().count;
      level_ = polled_.front().level;
      polled_.pop_front();
    }
  }

  int waits = 0;
  status_t read_status = kOk;
  bool has_counter = true;

 private:
  VirtualClock& clock_;
  std::deque<Step> steps_;
  std::deque<Step> polled_;
  uint64_t count_ = 0;
  bool level_ = false;
};

class DcdWait : public ::testing::Test {
 protected:
  void SetUp() override { SetThreadClock(&clock_); }
  void TearDown() override { SetThreadClock(nullptr); }
  VirtualClock clock_{1000000};
};

TEST_F(DcdWait, InterruptWaitOutcomes) {
  struct Case {
    const char* name;
    std::deque<Step> steps;
    status_t result;
    int waits;
  } cases[] = {
      {"edge", {{kOk, 1, true}}, kOk, 1},
      // Two edges in one wake-up: the level looks unchanged; reading on would swap pulse and
      // space, so the burst is reported damaged.
      {"one edge missed", {{kOk, 2, false}}, kEdgesLost, 1},
      // Three edges: the level is right, but two periods were merged into one.
      {"an edge pair missed", {{kOk, 3, true}}, kEdgesLost, 1},
      // Another modem line woke the wait: neither counter nor level moved.
      {"other modem line", {{kOk, 0, false}, {kOk, 1, true}}, kOk, 2},
      {"signal", {{kInterrupted, 0, false}, {kOk, 1, true}}, kOk, 2},
      {"deadline", {{kTimedOut, 0, false}}, kTimedOut, 1},
      {"adapter unplugged", {{kNoDevice, 0, false}}, kNoDevice, 1},
  };
  for (auto& c : cases) {
    FakeModem modem(clock_, c.steps);
    DcdWaitState state;
    const bigtime_t since = clock_.Now();
    LevelChange change;
    EXPECT_EQ(WaitForDcdChange(modem, &state, since, since + 15001, &change), c.result) << c.name;
    EXPECT_EQ(modem.waits, c.waits) << c.name;
    EXPECT_TRUE(state.interrupts) << c.name;
    if (c.result == kOk) {
      EXPECT_EQ(change.time, clock_.Now()) << c.name;
      EXPECT_TRUE(change.pulse) << c.name;
    }
  }
}

TEST_F(DcdWait, ChangesWhileTheThreadWasAwayAreNotLostEdges) {
  FakeModem modem(clock_, {{kOk, 1, true}, {kOk, 8, false}, {kOk, 9, true}});
  DcdWaitState state;
  LevelChange change;
  ASSERT_EQ(WaitForDcdChange(modem, &state, clock_.Now(), kNoDeadline, &change), kOk);
  // The next wait continues from that change: the seven edges counted meanwhile are lost.
  EXPECT_EQ(WaitForDcdChange(modem, &state, change.time, kNoDeadline, &change), kEdgesLost);
  // After a resume the wait starts from what the line shows then.
  clock_.Snooze(250000);
  ASSERT_EQ(WaitForDcdChange(modem, &state, clock_.Now(), kNoDeadline, &change), kOk);
}

TEST_F(DcdWait, DriverWithoutInterruptWaitIsPolledUntilTheDeadline) {
  FakeModem modem(clock_, {{kUnsupported, 0, false}});
  DcdWaitState state;
  const bigtime_t since = clock_.Now();
  modem.PollTo({kOk, 1, true, since + 2050});
  LevelChange change;
  ASSERT_EQ(WaitForDcdChange(modem, &state, since, kNoDeadline, &change), kOk);
  EXPECT_FALSE(state.interrupts);
  // Seen at the first read after it: reads are 100 us apart on a busy line.
  EXPECT_EQ(change.time - since, 2100);
  EXPECT_EQ(modem.waits, 1);
  // No change: the wait ends at the deadline, never before it.
  EXPECT_EQ(WaitForDcdChange(modem, &state, change.time, change.time + 15001, &change), kTimedOut);
  EXPECT_EQ(clock_.Now(), since + 2100 + 15001);
}

TEST_F(DcdWait, PollingStopsOnADeviceError) {
  FakeModem modem(clock_, {});
  modem.read_status = kNoDevice;
  DcdWaitState state;
  state.interrupts = false;
  LevelChange change;
  EXPECT_EQ(WaitForDcdChange(modem, &state, clock_.Now(), kNoDeadline, &change), kNoDevice);
}

}  // namespace
