// The readers of receiver lines against scripted devices on a virtual clock: a kernel receiver's
// samples read as timed level changes, its scancodes, and the DCD wait of serial lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <map>
#include <optional>

#include "platform/lines/lirc_samples.h"
#include "platform/lines/lirc_scancodes.h"
#include "platform/lines/modem_wait.h"
#include "platform/messaging/trace.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

class OnVirtualClock : public ::testing::Test {
 protected:
  void SetUp() override { SetThreadClock(&clock_); }
  void TearDown() override { SetThreadClock(nullptr); }
  VirtualClock clock_{1000000};
};
using LircScancodes = OnVirtualClock;
using DcdWait = OnVirtualClock;

// Items of a device queued from their times on: a read takes one that has arrived, a wait
// advances the clock to the next one or to its deadline.
template <typename Item, typename Source>
class Queued : public Source {
 public:
  Queued(VirtualClock& clock, std::deque<Item> items) : clock_(clock), items_(std::move(items)) {}
  status_t Wait(bigtime_t deadline) override { return WaitUntil(deadline); }
  // A read: the first item that has arrived handed to `fill`, and its status.
  template <typename Fill>
  status_t Take(Fill fill) {
    if (items_.empty() || items_.front().arrives > clock_.Now()) return kResourceUnavailable;
    const Item item = items_.front();
    items_.pop_front();
    fill(item);
    return item.status;
  }
  status_t WaitUntil(bigtime_t deadline) {
    if (items_.empty() && deadline == kNoDeadline) return kNoDevice;  // nothing will come
    if (!items_.empty() && items_.front().arrives <= deadline) {
      clock_.AdvanceTo(items_.front().arrives);
      return kOk;
    }
    clock_.AdvanceTo(deadline);
    return kTimedOut;
  }

 private:
  VirtualClock& clock_;
  std::deque<Item> items_;
};

// What one read gives: a sample, or a status (EINTR, an unplugged device).
struct Sample {
  bigtime_t arrives;
  uint32_t sample;
  status_t status = kOk;
};

class FakeSamples : public Queued<Sample, LircSource> {
 public:
  using Queued::Queued;
  status_t Read(uint32_t* sample) override {
    return Take([sample](const Sample& item) { *sample = item.sample; });
  }
};

// A sample of data/lirc_samples.tsv: "ARRIVES:+US", "ARRIVES:EINTR", ... (see there).
Sample SampleOf(const std::string& word) {
  const bigtime_t arrives = std::stoll(word);
  const std::string item = word.substr(word.find(':') + 1);
  if (item == "EINTR" || item == "ENODEV")
    return {arrives, 0, item == "EINTR" ? kInterrupted : kNoDevice};
  static const std::map<char, uint32_t> kKinds = {{'+', kLircPulse},
                                                  {'-', kLircSpace},
                                                  {'f', kLircFrequency},
                                                  {'t', kLircTimeout},
                                                  {'o', kLircOverflow}};
  return {arrives, kKinds.at(item[0]) | static_cast<uint32_t>(std::atoi(item.c_str() + 1))};
}

// Each case's waits on its device, with the changes they give or how they end.
TEST(LircSamples, ChangesComeAtTheirKernelTimesWheneverTheReaderWaits) {
  for (const auto& row : ReadTable("receiver/data/lirc_samples.tsv", 4)) {
    VirtualClock clock(1000000);
    SetThreadClock(&clock);
    std::deque<Sample> samples;
    for (const std::string& word : CellList(row[1])) samples.push_back(SampleOf(word));
    FakeSamples device(clock, samples);
    LircSampleReader reader;
    TraceCapture trace;
    std::string changes;
    LevelChange change;
    for (const std::string& word : CellList(row[2])) {
      bigtime_t at = 0, since = 0, deadline = 0;
      ASSERT_EQ(std::sscanf(word.c_str(), "%ld,%ld,%ld", &at, &since, &deadline), 3) << word;
      clock.AdvanceTo(at);
      if (since < 0) since = change.time;
      const status_t status = reader.WaitForChange(
          device, since, deadline == 0 ? kNoDeadline : since + deadline, &change);
      changes += status == kOk ? std::to_string(change.time) + (change.pulse ? "+ " : "- ")
                               : std::string(status == kTimedOut    ? "timed out"
                                             : status == kEdgesLost ? "edges lost"
                                                                    : "no device") +
                                     " at " + std::to_string(clock.Now()) + " " + trace.Text();
      trace.Clear();
    }
    SetThreadClock(nullptr);
    EXPECT_EQ(changes, Unescaped(row[3])) << row[0];
  }
}

struct Record {
  bigtime_t arrives;  // also the kernel's timestamp
  uint32_t protocol;
  uint64_t scancode;
  uint16_t flags = 0;
  status_t status = kOk;
};

class FakeScancodes : public Queued<Record, LircScancodeSource> {
 public:
  using Queued::Queued;
  status_t ReadRecord(LircScancodeRecord* record) override {
    return Take([record](const Record& item) {
      *record = {static_cast<uint64_t>(item.arrives) * 1000, item.flags,
                 static_cast<uint16_t>(item.protocol), 0, item.scancode};
    });
  }
};

// Presses, held keys, toggles, records that came before the wait, a record cut short, an unplug.
TEST_F(LircScancodes, PressesHeldKeysAndTheirEnd) {
  FakeScancodes device(clock_,
                       {{900000, kRcNec, 0x0407},  // before the wait: not for us
                        {1100000, kRcNec, 0x0408},
                        {1100000, kRcNec, 0x0408, 0, kInterrupted},
                        {1210000, kRcNec, 0x0408, kLircScancodeRepeat},
                        {1500000, kRcRc5, 0x1E0C, kLircScancodeToggle},
                        {1600000, kRcRc5, 0x1E0C, kLircScancodeToggle | kLircScancodeRepeat},
                        {1700000, kRcRc5, 0x1E0C},  // pressed anew: the toggle turned
                        {1800000, kRcRc5, 0x1E0C, 0, kEdgesLost},
                        {1900000, kRcRc5, 0x1E0C, 0, kNoDevice}});
  LircScancodeReader scancodes;
  std::vector<std::string> got;
  bigtime_t since = 1000000;
  for (KernelScancode scancode;
       scancodes.WaitForScancode(device, since, since < 1700000 ? kNoDeadline : 1750000,
                                 &scancode) == kOk;
       since = scancode.time) {
    got.push_back(std::to_string(scancode.time) + " " + std::to_string(scancode.protocol) + " " +
                  std::to_string(scancode.scancode) + (scancode.repeat ? " repeat" : "") +
                  (scancode.toggle ? " toggle" : ""));
  }
  EXPECT_EQ(got, (std::vector<std::string>{"1100000 9 1032", "1210000 9 1032 repeat",
                                           "1500000 2 7692 toggle", "1600000 2 7692 repeat toggle",
                                           "1700000 2 7692"}));
  EXPECT_EQ(clock_.Now(), 1750000);  // the wait timed out at its deadline
  KernelScancode scancode;
  EXPECT_EQ(scancodes.WaitForScancode(device, since, kNoDeadline, &scancode), kEdgesLost);
  EXPECT_EQ(scancodes.WaitForScancode(device, since, kNoDeadline, &scancode), kNoDevice);
}

// One scripted step of a modem: what a wait returns (500 us after it began, or at its deadline
// when it timed out), and the counter and level after it; or, with a time `at`, the counter and
// level that polling reads from then on.
struct Step {
  status_t result;
  uint64_t count;
  bool level;
  bigtime_t at = 0;
};

class FakeModem : public ModemLine {
 public:
  FakeModem(VirtualClock& clock, std::deque<Step> steps)
      : clock_(clock), steps_(std::move(steps)) {}
  status_t ReadDcd(bool* level) override {
    Poll();
    *level = level_;
    return read_status;
  }
  status_t DcdEdgeCount(uint64_t* count) override {
    Poll();
    *count = count_;
    return kOk;
  }
  status_t WaitForModemChange(bigtime_t deadline) override {
    ++waits;
    if (steps_.empty()) return kIoError;
    const Step step = steps_.front();
    step.result == kTimedOut ? clock_.AdvanceTo(deadline) : clock_.Snooze(500);
    Take();
    return step.result;
  }
  void Poll() {
    if (!steps_.empty() && steps_.front().at != 0 && clock_.Now() >= steps_.front().at) Take();
  }
  void Take() {
    count_ = steps_.front().count;
    level_ = steps_.front().level;
    steps_.pop_front();
  }

  int waits = 0;
  status_t read_status = kOk;

 private:
  VirtualClock& clock_;
  std::deque<Step> steps_;
  uint64_t count_ = 0;
  bool level_ = false;
};

TEST_F(DcdWait, InterruptWaitOutcomes) {
  struct Case {
    const char* name;
    std::deque<Step> steps;
    status_t result;  // after a wait for each step
  } cases[] = {
      {"edge", {{kOk, 1, true}}, kOk},
      // Two edges in one wake-up: the level looks unchanged; reading on would swap pulse and
      // space, so the burst is reported damaged.
      {"one edge missed", {{kOk, 2, false}}, kEdgesLost},
      // Three edges: the level is right, but two periods were merged into one.
      {"an edge pair missed", {{kOk, 3, true}}, kEdgesLost},
      // Another modem line woke the wait: neither counter nor level moved.
      {"other modem line", {{kOk, 0, false}, {kOk, 1, true}}, kOk},
      {"signal", {{kInterrupted, 0, false}, {kOk, 1, true}}, kOk},
      {"deadline", {{kTimedOut, 0, false}}, kTimedOut},
      {"adapter unplugged", {{kNoDevice, 0, false}}, kNoDevice},
  };
  for (auto& c : cases) {
    FakeModem modem(clock_, c.steps);
    DcdWaitState state;
    const bigtime_t since = clock_.Now();
    LevelChange change;
    EXPECT_EQ(WaitForDcdChange(modem, &state, since, since + 15001, &change), c.result) << c.name;
    EXPECT_EQ(modem.waits, static_cast<int>(c.steps.size())) << c.name;
    EXPECT_TRUE(state.interrupts) << c.name;
    EXPECT_TRUE(c.result != kOk || (change.time == clock_.Now() && change.pulse)) << c.name;
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

TEST_F(DcdWait, DriverWithoutInterruptWaitIsPolledUntilTheDeadlineOrAnError) {
  const bigtime_t since = clock_.Now();
  FakeModem modem(clock_, {{kUnsupported, 0, false}, {kOk, 1, true, since + 2050}});
  DcdWaitState state;
  LevelChange change;
  ASSERT_EQ(WaitForDcdChange(modem, &state, since, kNoDeadline, &change), kOk);
  EXPECT_FALSE(state.interrupts);
  // Seen at the first read after it: reads are 100 us apart on a busy line.
  EXPECT_EQ(change.time - since, 2100);
  EXPECT_EQ(modem.waits, 1);
  // No change: the wait ends at the deadline, never before it.
  EXPECT_EQ(WaitForDcdChange(modem, &state, change.time, change.time + 15001, &change), kTimedOut);
  EXPECT_EQ(clock_.Now(), since + 2100 + 15001);
  // A device error ends the polling.
  modem.read_status = kNoDevice;
  EXPECT_EQ(WaitForDcdChange(modem, &state, clock_.Now(), kNoDeadline, &change), kNoDevice);
}

}  // namespace

}  // namespace koru
