// The receiver thread on a receiver that decodes by itself: each scancode is one report with
// the exact and classic codes, a held key is reported again, what came while the thread rested
// is passed over, and an unplugged receiver ends the thread as a vanished port does.
#include <gtest/gtest.h>

#include <deque>

#include "platform/lines/receiver_port.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/message.h"
#include "platform/messaging/messenger.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/threads.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_flags.h"
#include "receiver/sampling_thread.h"
#include "recording_report_sink.h"

namespace {

// Scancodes at their times on the thread's virtual clock; then the device goes.
class ScancodeScript : public ReceiverLine {
 public:
  ScancodeScript(VirtualClock& clock, std::deque<KernelScancode> script)
      : clock_(clock), script_(std::move(script)) {}
  bool IsDCD() override { return false; }
  status_t WaitForChange(bigtime_t, bigtime_t, LevelChange*) override { return kUnsupported; }
  bool GivesScancodes() const override { return true; }
  status_t WaitForScancode(bigtime_t since, bigtime_t, KernelScancode* scancode) override {
    while (!script_.empty()) {
      const KernelScancode next = script_.front();
      script_.pop_front();
      clock_.AdvanceTo(next.time);
      if (next.time <= since) continue;
      *scancode = next;
      return kOk;
    }
    return kNoDevice;
  }

 private:
  VirtualClock& clock_;
  std::deque<KernelScancode> script_;
};

struct Session {
  VirtualClock clock{0};
  std::unique_ptr<ReceiverPort> port;
  ReceiverFlags flags;
  RecordingReportSink sink;
  ReceiverThreadStart start;
};

int32_t RunOnVirtualClock(void* data) {
  auto* session = static_cast<Session*>(data);
  SetThreadClock(&session->clock);
  session->clock.SetOnSuspend([](VirtualClock& clock) {
    clock.AdvanceTo((clock.Now() / 250000 + 1) * 250000);  // the view's pulse
  });
  const int32_t status = ReceiverThreadMain(&session->start);
  SetThreadClock(nullptr);
  return status;
}

// The reports with an exact code as "<exact field> <code text>", and the missing port.
std::vector<std::string> Seen(const RecordingReportSink& sink) {
  std::vector<std::string> seen;
  const std::vector<ReceiverReport> reports = sink.Reports();
  size_t next = 0;
  for (const std::string& event : sink.Events()) {
    if (event == "port missing") seen.push_back("ir--");
    if (event != "report") continue;
    const ReceiverReport& report = reports[next++];
    if (report.exact) seen.push_back(ExactField(*report.exact) + " " + report.code);
  }
  return seen;
}

TEST(ScancodeThread, EachPressIsAReportAndAHeldKeyIsReportedAgain) {
  Session session;
  session.port = std::make_unique<ReceiverPort>(
      std::make_unique<ScancodeScript>(
          session.clock,
          std::deque<KernelScancode>{{1000000, kRcNec, 0x0408, false, false},
                                     {1100000, kRcNec, 0x0408, true, false},  // resting: passed
                                     {1400000, kRcNec, 0x0408, true, false},  // held
                                     {2000000, kRcXmp, 0x1234, false, false},
                                     {3000000, kRcRc5, 0x1E0C, false, true}}),
      "lirc0");
  session.start = {&session.flags, session.port.get(), &session.sink};
  TraceCapture trace;
  const thread_id thread =
      spawn_thread(RunOnVirtualClock, "snif_thread", kNormalPriority, &session);
  ASSERT_GE(thread, 0);
  resume_thread(thread);
  int32_t status = 0;
  wait_for_thread(thread, &status);
  const std::vector<std::string> reports = Seen(session.sink);
  EXPECT_EQ(status, SCIR_NO_DEVICE);
  ASSERT_EQ(reports.size(), 5u);
  EXPECT_EQ(reports[0].rfind("NEC:0x04:0x08 ", 0), 0u);
  EXPECT_NE(reports[0], "NEC:0x04:0x08 -") << "with the classic code";
  EXPECT_EQ(reports[1], reports[0]);
  EXPECT_EQ(reports[2].rfind("hash:", 0), 0u);
  EXPECT_EQ(reports[3].rfind("RC-5:0x1E:0x0C ", 0), 0u);
  EXPECT_EQ(reports[4], "ir--");
  EXPECT_TRUE(trace.Contains(" kernel scancode: protocol 9, 0x408, held\n"));
}

}  // namespace
