#include "receiver/view/pulse_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <mutex>

#include "fake_receiver_devices.h"
#include "platform/lines/receiver_port.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/trace.h"
#include "receiver/port_access.h"
#include "receiver/receiver_flags.h"
#include "settings/prefs.h"
#include "temp_dir.h"

namespace {

class AppRecorder : public Handler {
 public:
  explicit AppRecorder(Looper* looper) : Handler(looper) {}
  void MessageReceived(Message* message) override {
    std::lock_guard lock(mutex_);
    whats_.push_back(message->what);
  }
  int Count(uint32_t what) {
    std::lock_guard lock(mutex_);
    return static_cast<int>(std::count(whats_.begin(), whats_.end(), what));
  }

 private:
  std::mutex mutex_;
  std::vector<uint32_t> whats_;
};

ThreadState StateOf(thread_id id) {
  thread_info info;
  return get_thread_info(id, &info) == kOk ? info.state : ThreadState::kEnded;
}

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 2000 && !condition(); ++i) snooze(1000);
  return condition();
}

class PulseViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetReceiverDevices(devices_);
    SetAppMessenger(app_.GetMessenger());
    flags_.CHECK_SCAN_IR = 0;
    flags_.SCAN_CONTINOUS = 1;
    sPulseView::SetBusyQuestion([this](const sPulseView::BusyAnswer& answer) {
      ++questions_;
      answer_ = answer;
    });
  }
  void TearDown() override {
    view_.reset();
    sPulseView::SetBusyQuestion(nullptr);
    SetAppMessenger(Messenger());
    SetReceiverDevices(nullptr);
    settings_.reset();
  }
  void Make() {
    view_ = std::make_unique<sPulseView>(QRect(0, 0, 160, 16), "puView", &flags_, Settings());
    ASSERT_TRUE(WaitFor([&] { return flags_.CHECK_SCAN_IR.load() == 1; }));  // in its sampling loop
  }
  void Send(uint32_t what) {
    Message message(what);
    view_->MessageReceived(&message);
  }

  TempDir dir_;
  ScopedEnv config_{"XDG_CONFIG_HOME", dir_.Path().c_str()};
  // The settings store the view is given, on the settings file, opened on first use.
  Prefs* Settings() {
    if (!settings_) settings_ = Prefs::OpenSettingsFile();
    return settings_.get();
  }
  std::unique_ptr<Prefs> settings_;
  std::shared_ptr<FakeReceiverDevices> devices_ =
      std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"serial2", "usb1"});
  ImmediateLooper looper_;
  AppRecorder app_{&looper_};
  ReceiverFlags flags_;
  std::unique_ptr<sPulseView> view_;
  int questions_ = 0;
  sPulseView::BusyAnswer answer_;
};

}  // namespace

TEST_F(PulseViewTest, FallsBackToTheFirstPortThatOpensAndRemembersIt) {
  TraceCapture trace;
  Make();
  EXPECT_STREQ(Settings()->rs232_port, "serial2");
  EXPECT_EQ(view_->Port()->Name(), "serial2");
  EXPECT_TRUE(trace.Contains("..thread-success .."));
  EXPECT_EQ(view_->RemoteDev(), 91);
}

TEST_F(PulseViewTest, PulsesResumeTheThreadOnlyWhileReceivingAndIdle) {
  Make();
  const thread_id thread = view_->Thread();
  view_->StopSniffer();
  ASSERT_TRUE(WaitFor([&] { return StateOf(thread) == ThreadState::kSuspended; }));

  flags_.CHECK_SCAN_IR = 0;
  view_->Pulse();  // receiving is off
  snooze(5000);
  EXPECT_EQ(StateOf(thread), ThreadState::kSuspended);

  flags_.SCAN_CONTINOUS = 1;
  flags_.CHECK_SCAN_IR = 1;
  view_->Pulse();  // the thread counts as busy
  snooze(5000);
  EXPECT_EQ(StateOf(thread), ThreadState::kSuspended);

  flags_.CHECK_SCAN_IR = 0;
  view_->Pulse();
  EXPECT_TRUE(WaitFor([&] { return StateOf(thread) != ThreadState::kSuspended; }));
}

TEST_F(PulseViewTest, RubrGoesOutOnEveryTwentySecondPulseUnlessHeld) {
  Make();
  flags_.CHECK_SCAN_IR = 1;  // keep the pulse from resuming anything
  for (int pulse = 1; pulse <= 19; ++pulse) view_->Pulse();
  EXPECT_EQ(app_.Count(FourCC("RUBR")), 0);
  view_->Pulse();
  EXPECT_EQ(app_.Count(FourCC("RUBR")), 1);
  for (int pulse = 0; pulse < 22; ++pulse) view_->Pulse();
  EXPECT_EQ(app_.Count(FourCC("RUBR")), 2);
  view_->SetHold(true);
  for (int pulse = 0; pulse < 44; ++pulse) view_->Pulse();
  EXPECT_EQ(app_.Count(FourCC("RUBR")), 2);
}

TEST_F(PulseViewTest, PortChangesReopenExceptForTheSameSerialPort) {
  Make();
  const int opens = devices_->Opens();
  TraceCapture trace;
  Send(FourCC("SER2"));
  EXPECT_TRUE(trace.Contains(" ..same ser2 "));
  EXPECT_EQ(devices_->Opens(), opens);

  Send(FourCC("USB1"));
  EXPECT_GT(devices_->Opens(), opens);
  EXPECT_EQ(view_->Port()->Name(), "usb1");
  EXPECT_STREQ(Settings()->rs232_port, "usb1");
  const int reopened = devices_->Opens();
  Send(FourCC("USB1"));  // the same USB port is closed and opened again
  EXPECT_GT(devices_->Opens(), reopened);

  Send(FourCC("SER4"));  // no such device: the thread reports the missing port
  EXPECT_EQ(view_->Port(), nullptr);
  EXPECT_TRUE(WaitFor([&] { return app_.Count(FourCC("ir--")) == 1; }));
}

TEST_F(PulseViewTest, SliderValueIsRoundedDownToTens) {
  Make();
  TraceCapture trace;
  Message slider(FourCC("sldm"));
  slider.AddInt32("be:value", 47);
  view_->MessageReceived(&slider);
  EXPECT_TRUE(trace.Contains("| Prio:40 good "));
  EXPECT_EQ(Settings()->PRIORITY, 40);
  thread_info info;
  ASSERT_EQ(get_thread_info(view_->Thread(), &info), kOk);
  EXPECT_EQ(info.priority, 40);
}

TEST_F(PulseViewTest, BusyReportsAskOnceAndSensorRemovedReopensThePort) {
  Make();
  TraceCapture trace;
  Send(FourCC("irRB"));
  Send(FourCC("irRB"));
  EXPECT_EQ(questions_, 1);
  EXPECT_TRUE(trace.Contains("out"));
  const int opens = devices_->Opens();
  const thread_id old_thread = view_->Thread();
  answer_(true);
  EXPECT_GT(devices_->Opens(), opens);
  EXPECT_NE(view_->Thread(), old_thread);
  EXPECT_EQ(view_->Port()->Name(), "serial2");
}

TEST_F(PulseViewTest, SensorRemovedReopensThePortOfThisRunNotAFallback) {
  sPulseView::SetPortOverride("usb1");
  devices_->SetBusy("usb1");
  Make();
  sPulseView::SetPortOverride("");
  EXPECT_EQ(view_->Port()->Name(), "serial2");  // the fallback that opened meanwhile
  Send(FourCC("irRB"));
  devices_->SetBusy("");  // the user freed the sensor
  answer_(true);
  ASSERT_NE(view_->Port(), nullptr);
  EXPECT_EQ(view_->Port()->Name(), "usb1");
}

TEST_F(PulseViewTest, StartUpFallsBackThroughTheReceiversFoundAfterTheSerialPorts) {
  // The stored port is gone and no serial port is there: the kernel receiver opens.
  SetReceiverDevices(std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"lirc0"}));
  Prefs::SetText(Settings()->rs232_port, "usb3");
  Make();
  ASSERT_NE(view_->Port(), nullptr);
  EXPECT_EQ(view_->Port()->Name(), "lirc0");
  EXPECT_EQ(std::string(Settings()->rs232_port), "lirc0");
  EXPECT_EQ(questions_, 0);
}

TEST_F(PulseViewTest, WithoutAReceiverTheUserIsToldOnceWhatKoruCanUseAndNotAskedIfBusy) {
  std::vector<std::string> notices;
  sPulseView::SetNoReceiverNotice([&](const std::string& text) { notices.push_back(text); });
  SetReceiverDevices(std::make_shared<FakeReceiverDevices>(std::vector<std::string>{}));
  for (int start = 0; start < 2; ++start) {
    view_ = std::make_unique<sPulseView>(QRect(0, 0, 160, 16), "puView", &flags_, Settings());
    ASSERT_EQ(view_->Port(), nullptr);
    Send(FourCC("ir--"));  // from the thread that found no port
    Send(FourCC("ir--"));
    view_.reset();
  }
  EXPECT_EQ(questions_, 0);
  ASSERT_EQ(notices.size(), 1u) << "once, not at every start";
  EXPECT_EQ(notices[0].rfind("No receiver was found.\n", 0), 0u) << notices[0];
  EXPECT_NE(notices[0].find("koru --port replay:demo.mode2 --dry-run"), std::string::npos);
  EXPECT_EQ(notices[0].find("no such device"), std::string::npos) << notices[0];
  sPulseView::SetNoReceiverNotice(nullptr);
}

TEST_F(PulseViewTest, SensorRemovedReopensThePortThatWasBusy) {
  auto devices = std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"serial2"});
  SetReceiverDevices(devices);
  devices->SetBusy("serial2");
  view_ = std::make_unique<sPulseView>(QRect(0, 0, 160, 16), "puView", &flags_, Settings());
  ASSERT_EQ(view_->Port(), nullptr);
  Message busy(FourCC("irRB"));
  busy.AddString("port", "serial2");
  view_->MessageReceived(&busy);
  Send(FourCC("ir--"));
  ASSERT_EQ(questions_, 1);
  devices->SetBusy("");
  answer_(true);
  ASSERT_NE(view_->Port(), nullptr);
  EXPECT_EQ(view_->Port()->Name(), "serial2") << "not the setting's serial0";
}

TEST_F(PulseViewTest, EndingTheThreadStopsItBeforeThePortCloses) {
  Make();
  const thread_id thread = view_->Thread();
  Send(FourCC("irTQ"));
  EXPECT_EQ(StateOf(thread), ThreadState::kEnded);
  view_.reset();  // closes the port; no thread reads it any more (ASan/TSan check)
}

TEST(PrintScanState, NamesEveryKnownState) {
  const struct {
    int32_t code;
    const char* text;
  } states[] = {{0, "     SCIR_ZERO "},   {1, "    SCIR_PEGEL "},   {20, "   SCIR_NO_DCD "},
                {40, "      SCIR_ASK "},  {80, " SCIR_NOT_FULL "},  {100, "     SCIR_FULL "},
                {110, "  SCIR_NERVOUS "}, {190, "     SCIR_OOPS "}, {200, "SCIR_NO_DEVICE "},
                {5, " -not-defined- "}};
  for (const auto& state : states) {
    TraceCapture trace;
    sPulseView::TraceScanState(state.code);
    EXPECT_EQ(trace.Text(), state.text);
  }
}

TEST_F(PulseViewTest, ThePulseRestsUnlessTheThreadWaitsTheLampShowsOrAKeyWaitsToBeCleared) {
  Make();
  flags_.CHECK_SCAN_IR = 1;
  EXPECT_EQ(view_->PulsesUntilWork(), 0) << "hidden view, thread listening, nothing shown";

  // A key was shown: the pulse comes back for the 'RUBR' that clears it, at the same pulse as
  // when it had run all along.
  view_->ReportShown();
  const int32_t until = view_->PulsesUntilWork();
  EXPECT_EQ(until, 20 - view_->PulseCount());
  view_->SkipPulses(until - 1);
  EXPECT_EQ(app_.Count(FourCC("RUBR")), 0);
  view_->Pulse();
  EXPECT_EQ(app_.Count(FourCC("RUBR")), 1);
  EXPECT_EQ(view_->PulsesUntilWork(), 0);
  view_->ReportShown();
  EXPECT_EQ(view_->PulsesUntilWork(), 22) << "a whole cycle to the next 'RUBR'";
  view_->SetHold(true);
  EXPECT_EQ(view_->PulsesUntilWork(), 0) << "held: no 'RUBR'";

  // A thread waiting for its resume, and the blinking lamp, need every pulse.
  flags_.resume_wanted = true;
  EXPECT_EQ(view_->PulsesUntilWork(), 1);
  flags_.resume_wanted = false;
  QWidget window;
  view_->setParent(&window);
  window.show();
  EXPECT_EQ(view_->PulsesUntilWork(), 1);

  flags_.SCAN_CONTINOUS = 0;
  EXPECT_EQ(view_->PulsesUntilWork(), 0) << "receiving off: pulses do nothing";
  view_->setParent(nullptr);
}
