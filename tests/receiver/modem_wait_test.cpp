#include "platform/modem_wait.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

// One scripted step per WaitForModemChange: its result and the counter and level after it.
struct Step {
  status_t result;
  uint64_t count;
  bool level;
};

class FakeModem : public ModemLine {
 public:
  FakeModem(uint64_t count, bool level, std::deque<Step> steps)
      : count_(count), level_(level), steps_(std::move(steps)) {}
  status_t ReadDcd(bool* level) override {
    ++reads;
    if (polled_level_flip_after > 0 && reads > polled_level_flip_after) level_ = !start_level_;
    *level = level_;
    return read_status;
  }
  status_t DcdEdgeCount(uint64_t* count) override {
    *count = count_;
    return kOk;
  }
  status_t WaitForModemChange() override {
    ++waits;
    if (steps_.empty()) return kIoError;
    const Step step = steps_.front();
    steps_.pop_front();
    count_ = step.count;
    level_ = step.level;
    return step.result;
  }

  int waits = 0;
  int reads = 0;
  status_t read_status = kOk;
  int polled_level_flip_after = 0;  // polling: the level flips after this many reads
  bool start_level_ = false;

 private:
  uint64_t count_;
  bool level_;
  std::deque<Step> steps_;
};

TEST(WaitForDcdChange, InterruptWaitOutcomes) {
  struct Case {
    const char* name;
    std::deque<Step> steps;
    status_t result;
    int waits;
  } cases[] = {
      {"edge", {{kOk, 1, true}}, kOk, 1},
      // Two edges between reads: the level looks unchanged but the counter moved.
      {"missed edge pair", {{kOk, 2, false}}, kOk, 1},
      // Another modem line woke the wait: neither counter nor level moved.
      {"other modem line", {{kOk, 0, false}, {kOk, 1, true}}, kOk, 2},
      {"signal", {{kInterrupted, 0, false}, {kOk, 1, true}}, kOk, 2},
      {"adapter unplugged", {{kNoDevice, 0, false}}, kNoDevice, 1},
  };
  for (auto& c : cases) {
    FakeModem modem(0, false, c.steps);
    bool interrupts = true;
    bigtime_t period = -1;
    const bigtime_t since = system_time();
    EXPECT_EQ(WaitForDcdChange(modem, &interrupts, since, &period), c.result) << c.name;
    EXPECT_EQ(modem.waits, c.waits) << c.name;
    EXPECT_TRUE(interrupts) << c.name;
    if (c.result == kOk) {
      EXPECT_GE(period, 0) << c.name;
    }
  }
}

TEST(WaitForDcdChange, DriverWithoutInterruptWaitIsPolled) {
  FakeModem modem(0, false, {{kUnsupported, 0, false}});
  modem.polled_level_flip_after = 4;
  bool interrupts = true;
  bigtime_t period = -1;
  EXPECT_EQ(WaitForDcdChange(modem, &interrupts, system_time(), &period), kOk);
  EXPECT_FALSE(interrupts);
  EXPECT_GE(period, 100);  // at least one poll interval
  // From now on no interrupt wait is tried.
  modem.polled_level_flip_after = modem.reads + 2;
  modem.start_level_ = true;
  EXPECT_EQ(WaitForDcdChange(modem, &interrupts, system_time(), &period), kOk);
  EXPECT_EQ(modem.waits, 1);
}

TEST(WaitForDcdChange, PollingStopsOnADeviceError) {
  FakeModem modem(0, false, {});
  modem.read_status = kNoDevice;
  bool interrupts = false;
  bigtime_t period = -1;
  EXPECT_EQ(WaitForDcdChange(modem, &interrupts, system_time(), &period), kNoDevice);
  EXPECT_EQ(modem.reads, 1);
}

}  // namespace
