// A kernel receiver in scancode mode, against a scripted device on a virtual clock: presses,
// held keys, toggles, records that came before the wait, a record cut short, an unplug.
#include "platform/lines/lirc_scancodes.h"

#include <gtest/gtest.h>

#include <deque>

#include "platform/messaging/trace.h"

namespace {

struct Item {
  bigtime_t arrives;  // queued from this time on (also the kernel's timestamp)
  uint32_t protocol;
  uint64_t scancode;
  uint16_t flags = 0;
  status_t status = kOk;
};

class FakeDevice : public LircScancodeSource {
 public:
  FakeDevice(VirtualClock& clock, std::deque<Item> items)
      : clock_(clock), items_(std::move(items)) {}
  status_t ReadRecord(LircScancodeRecord* record) override {
    if (items_.empty() || items_.front().arrives > clock_.Now()) return kResourceUnavailable;
    const Item item = items_.front();
    items_.pop_front();
    record->timestamp_ns = static_cast<uint64_t>(item.arrives) * 1000;
    record->rc_proto = static_cast<uint16_t>(item.protocol);
    record->scancode = item.scancode;
    record->flags = item.flags;
    return item.status;
  }
  status_t Wait(bigtime_t deadline) override {
    if (items_.empty() && deadline == kNoDeadline) return kNoDevice;
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

class LircScancodes : public ::testing::Test {
 protected:
  void SetUp() override { SetThreadClock(&clock_); }
  void TearDown() override { SetThreadClock(nullptr); }
  VirtualClock clock_{1000000};
  LircScancodeReader reader_;
};

TEST_F(LircScancodes, PressesHeldKeysAndTheirEnd) {
  FakeDevice device(clock_, {{900000, kRcNec, 0x0407},  // before the wait: not for us
                             {1100000, kRcNec, 0x0408},
                             {1100000, kRcNec, 0x0408, 0, kInterrupted},
                             {1210000, kRcNec, 0x0408, kLircScancodeRepeat},
                             {1500000, kRcRc5, 0x1E0C, kLircScancodeToggle},
                             {1600000, kRcRc5, 0x1E0C, kLircScancodeToggle | kLircScancodeRepeat},
                             {1700000, kRcRc5, 0x1E0C},  // pressed anew: the toggle turned
                             {1800000, kRcRc5, 0x1E0C, 0, kEdgesLost},
                             {1900000, kRcRc5, 0x1E0C, 0, kNoDevice}});
  struct Expected {
    bigtime_t time;
    uint32_t protocol;
    uint64_t scancode;
    bool repeat, toggle;
  };
  const Expected expected[] = {{1100000, kRcNec, 0x0408, false, false},
                               {1210000, kRcNec, 0x0408, true, false},
                               {1500000, kRcRc5, 0x1E0C, false, true},
                               {1600000, kRcRc5, 0x1E0C, true, true},
                               {1700000, kRcRc5, 0x1E0C, false, false}};
  bigtime_t since = 1000000;
  for (const Expected& e : expected) {
    KernelScancode got;
    ASSERT_EQ(reader_.WaitForScancode(device, since, kNoDeadline, &got), kOk);
    EXPECT_EQ(got.time, e.time);
    EXPECT_EQ(got.protocol, e.protocol);
    EXPECT_EQ(got.scancode, e.scancode);
    EXPECT_EQ(got.repeat, e.repeat);
    EXPECT_EQ(got.toggle, e.toggle);
    since = got.time;
  }
  KernelScancode got;
  EXPECT_EQ(reader_.WaitForScancode(device, since, 1750000, &got), kTimedOut);
  EXPECT_EQ(clock_.Now(), 1750000);
  EXPECT_EQ(reader_.WaitForScancode(device, since, kNoDeadline, &got), kEdgesLost);
  EXPECT_EQ(reader_.WaitForScancode(device, since, kNoDeadline, &got), kNoDevice);
}

}  // namespace
