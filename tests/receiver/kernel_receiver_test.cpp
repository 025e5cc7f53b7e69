// Receivers that decode by themselves (the kernel's): a scancode gives the codes KORU's receiver
// reads from the same press's periods, the receiver thread reports each one, and the receiver's
// input device is taken from the kernel's keymap or the refusal explained.
#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <set>

#include "lirc/lirc_import.h"
#include "platform/lines/input_grab.h"
#include "platform/lines/receiver_port.h"
#include "platform/messaging/threads.h"
#include "platform/messaging/trace.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/kernel_scancode_code.h"
#include "receiver/receiver_flags.h"
#include "receiver/sampling_thread.h"
#include "receiver/scancode_evaluation.h"
#include "recording_report_sink.h"
#include "test_files.h"

namespace koru {

namespace {

// Each scancode against the frame of its exact code played through the receiver thread.
TEST(KernelScancode, GivesTheCodesTheReceiverReadsFromTheSamePress) {
  for (const auto& row : ReadTable("receiver/data/kernel_scancodes.tsv", 4)) {
    SCOPED_TRACE(row[1] + " " + row[2]);
    const uint32_t protocol = std::stoul(row[0]);
    const uint64_t scancode = std::stoull(row[2], nullptr, 16);
    const ExactCode code = *ParseExactField(row[3]);
    const ExactCode from_scancode = ExactFromKernelScancode(protocol, scancode);
    EXPECT_EQ(ExactField(from_scancode), row[3]);
    EXPECT_TRUE(KernelProtocolDecoded(protocol));

    std::vector<int32_t> periods;
    ASSERT_TRUE(EncodeExactPress(code, 0, &periods));
    const std::optional<LircReceived> raw = ReceiveLircSignal(periods);
    ASSERT_TRUE(raw && raw->exact);
    EXPECT_EQ(ExactField(*raw->exact), row[3]);

    // The report of the kernel's press carries the classic code of the raw one too.
    ScancodeEvaluation evaluation;
    evaluation.Evaluate({0, protocol, scancode, false, false});
    ASSERT_TRUE(evaluation.Exact());
    EXPECT_EQ(ExactField(*evaluation.Exact()), row[3]);
    EXPECT_EQ(evaluation.Family() == 0 ? std::string() : std::string(evaluation.Code()),
              raw->code_text);
  }
}

TEST(KernelScancode, ProtocolsKoruCannotReadGiveCodesOfTheirOwn) {
  // XMP, RC-MM, RC-5X-20, iMON ...: one code per key, the same for every press, none shared
  // with another protocol's key of the same scancode.
  std::set<std::string> fields;
  for (const uint32_t protocol : {kRcXmp, kRcRcmm32, kRcRc5x20, kRcImon, kRcUnknown})
    for (const uint64_t scancode : {0x1234ull, 0x1235ull}) {
      const ExactCode code = ExactFromKernelScancode(protocol, scancode);
      EXPECT_EQ(code.protocol, ExactProtocol::kHash);
      EXPECT_TRUE(code.SameKey(ExactFromKernelScancode(protocol, scancode)));
      fields.insert(ExactField(code));
    }
  EXPECT_EQ(fields.size(), 10u);
  EXPECT_FALSE(KernelProtocolDecoded(kRcXmp));
}

TEST(KernelScancode, KeymapProtocolsAndVariants) {
  for (const auto& row : ReadTable("receiver/data/keymap_protocols.tsv", 4)) {
    const std::optional<uint32_t> protocol =
        KernelProtocolOfKeymap(row[0], row[1], std::stoull(row[2], nullptr, 16));
    EXPECT_EQ(protocol ? std::to_string(*protocol) : "-", row[3]) << row[0] << "/" << row[1];
  }
}

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

// Each scancode is one report with the exact and classic codes, a held key is reported again,
// what came while the thread rested is passed over, and an unplugged receiver ends the thread
// as a vanished port does.
TEST(ScancodeThread, EachPressIsAReportAndAHeldKeyIsReportedAgain) {
  struct Session {
    VirtualClock clock{0};
    ReceiverFlags flags;
    RecordingReportSink sink;
    ReceiverThreadStart start;
  } session;
  ReceiverPort port(
      std::make_unique<ScancodeScript>(
          session.clock,
          std::deque<KernelScancode>{{1000000, kRcNec, 0x0408, false, false},
                                     {1100000, kRcNec, 0x0408, true, false},  // resting: passed
                                     {1400000, kRcNec, 0x0408, true, false},  // held
                                     {2000000, kRcXmp, 0x1234, false, false},
                                     {3000000, kRcRc5, 0x1E0C, false, true}}),
      "lirc0");
  session.start = {&session.flags, &port, &session.sink};
  TraceCapture trace;
  const auto on_virtual_clock = [](void* data) {
    auto* session = static_cast<Session*>(data);
    SetThreadClock(&session->clock);
    session->clock.SetOnSuspend([](VirtualClock& clock) {
      clock.AdvanceTo((clock.Now() / 250000 + 1) * 250000);  // the view's pulse
    });
    return ReceiverThreadMain(&session->start);
  };
  const thread_id thread = spawn_thread(on_virtual_clock, "snif_thread", kNormalPriority, &session);
  ASSERT_GE(thread, 0);
  resume_thread(thread);
  int32_t status = 0;
  wait_for_thread(thread, &status);
  EXPECT_EQ(status, kPortMissing);
  // The reports with an exact code as "<exact field> <code text>" (an XMP key's without a
  // classic code), then the missing port.
  std::vector<std::string> seen;
  for (const ReceiverReport& report : session.sink.Reports())
    if (report.exact) seen.push_back(ExactField(*report.exact) + " " + report.code);
  const std::string nec = "NEC:0x04:0x08 -111-01111-10010000-01110111-10001000-1x";
  EXPECT_EQ(seen,
            (std::vector<std::string>{nec, nec, "hash:D849FC6A -",
                                      "RC-5:0x1E:0x0C -11010010-01001110-*0100010101_elevenBit"}));
  EXPECT_EQ(session.sink.Events().back(), "port missing");
  EXPECT_TRUE(trace.Contains(" kernel scancode: protocol 9, 0x408, held\n"));
}

class FakeGrabSystem : public InputGrabSystem {
 public:
  FakeGrabSystem(int open_error, int grab_error) : open_error(open_error), grab_error(grab_error) {}
  int Open(const std::string& node) override {
    opened = node;
    return open_error != 0 ? -open_error : 7;
  }
  int Grab(int) override { return grab_error; }
  void Close(int fd) override { closed = fd; }
  int open_error, grab_error, closed = -1;
  std::string opened;
};

// Taking a kernel receiver's input device: taken and held while the grab lives; refused
// (EBUSY, EACCES) with words that name the one command clearing the kernel's keymap.
TEST(InputGrab, TakenHeldOrRefusedWithTheRightWords) {
  KernelReceiver receiver;
  receiver.rc = "rc2";
  receiver.input_event = "event7";
  struct Case {
    int open_error, grab_error;
    const char* words;  // a part of the words; "" when taken
  };
  const Case kCases[] = {
      {0, 0, ""},
      {0, EBUSY, "Another program has taken the key events of /d/input/event7"},
      {EACCES, 0, "KORU may not take the key events of /d/input/event7"},
      {0, ENODEV, "could not be taken (No such device)"},
  };
  for (const Case& c : kCases) {
    auto system = std::make_shared<FakeGrabSystem>(c.open_error, c.grab_error);
    {
      InputGrab grab(system, receiver, "/d");
      EXPECT_EQ(system->opened, "/d/input/event7");
      EXPECT_EQ(grab.Grabbed(), *c.words == '\0');
      EXPECT_TRUE(!grab.Grabbed() || system->closed == -1);  // held while the grab lives
      // Refused: the words name the command once.
      const std::string words = grab.Words(), command = "ir-keytable -s rc2 -c";
      EXPECT_TRUE(*c.words == '\0' ? words.empty()
                                   : words.find(c.words) != std::string::npos &&
                                         words.find(command) != std::string::npos &&
                                         words.find(command) == words.rfind(command))
          << words;
    }
    EXPECT_EQ(system->closed, c.open_error == 0 ? 7 : -1);
  }
  // A receiver without an input device: nothing to take, nothing to say.
  auto system = std::make_shared<FakeGrabSystem>(0, 0);
  InputGrab none(system, KernelReceiver{}, "/d");
  EXPECT_FALSE(none.Grabbed());
  EXPECT_EQ(none.Words(), "");
  EXPECT_EQ(system->opened, "");
}

}  // namespace

}  // namespace koru
