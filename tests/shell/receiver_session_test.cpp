// The receiver session (port, thread, fallbacks, resume rule) and the receiver view that draws it.
#include "receiver/receiver_session.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <atomic>

#include "fake_receiver_devices.h"
#include "platform/lines/receiver_port.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/trace.h"
#include "receiver/port_access.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_messages.h"
#include "receiver/recording_report_sink.h"
#include "receiver/view/pulse_view.h"
#include "settings/prefs.h"
#include "temp_dir.h"

namespace koru {

namespace {

// Counts the 'RUBR's the view sends the application.
class AppRecorder : public Handler {
 public:
  explicit AppRecorder(Looper* looper) : Handler(looper) {}
  void MessageReceived(Message* message) override { clears += message->what == kClearShownKey; }
  std::atomic<int> clears = 0;
};

ThreadState StateOf(thread_id id) {
  thread_info info;
  return get_thread_info(id, &info) == kOk ? info.state : ThreadState::kEnded;
}

bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 2000 && !condition(); ++i) snooze(1000);
  return condition();
}

class ReceiverSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetReceiverDevices(devices_);
    SetAppMessenger(app_.GetMessenger());
    flags_.scanning = 0;
    flags_.receiving = 1;
  }
  void TearDown() override {
    view_.reset();
    session_.reset();
    SetAppMessenger(Messenger());
    SetReceiverDevices(nullptr);
    settings_.reset();
  }
  // A session (and its view) as the main window makes them, the busy question answered here.
  void Open(const std::string& port_override = "") {
    view_.reset();
    session_.reset();
    session_ = std::make_unique<ReceiverSession>(&flags_, Settings(), &sink_, port_override);
    session_->SetBusyQuestion([this](const ReceiverSession::BusyAnswer& answer) {
      ++questions_;
      answer_ = answer;
    });
    session_->SetNoReceiverNotice([this](const std::string& text) { notices_.push_back(text); });
    view_ = std::make_unique<PulseView>(QRect(0, 0, 160, 16), "puView", session_.get());
  }
  void Make() {
    Open();
    ASSERT_TRUE(WaitFor([&] { return flags_.scanning.load() == 1; }));  // in its sampling loop
  }
  std::string PortName() { return session_->Port() ? session_->Port()->Name() : "no port"; }
  void Send(uint32_t what) {
    Message message(what);
    session_->MessageReceived(&message);
  }

  // The settings store the view is given, on the settings file, opened on first use.
  Prefs* Settings() {
    if (!settings_) settings_ = Prefs::OpenSettingsFile();
    return settings_.get();
  }
  TempDir dir_;
  ScopedEnv config_{"XDG_CONFIG_HOME", dir_.Path().c_str()};
  std::unique_ptr<Prefs> settings_;
  std::shared_ptr<FakeReceiverDevices> devices_ =
      std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"serial2", "usb1"});
  ImmediateLooper looper_;
  AppRecorder app_{&looper_};
  ReceiverFlags flags_;
  RecordingReportSink sink_;
  std::unique_ptr<ReceiverSession> session_;
  std::unique_ptr<PulseView> view_;
  int questions_ = 0;
  ReceiverSession::BusyAnswer answer_;
  std::vector<std::string> notices_;
};

}  // namespace

TEST_F(ReceiverSessionTest, FallsBackToTheFirstPortThatOpensAndRemembersIt) {
  TraceCapture trace;
  Make();
  EXPECT_STREQ(Settings()->rs232_port, "serial2");
  EXPECT_EQ(PortName(), "serial2");
  EXPECT_TRUE(trace.Contains("..thread-success .."));
  EXPECT_EQ(view_->RemoteDev(), 91);
  // The thread reports to the session's sink that it listens.
  ASSERT_TRUE(WaitFor([&] { return sink_.Count() >= 1; }));
  EXPECT_EQ(sink_.Reports().at(0).code, "-------- -------- ");

  // The stored port gone and no serial port there: the kernel receiver found after them opens.
  SetReceiverDevices(std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"lirc0"}));
  Prefs::SetText(Settings()->rs232_port, "usb3");
  Make();
  EXPECT_EQ(PortName(), "lirc0");
  EXPECT_STREQ(Settings()->rs232_port, "lirc0");
  EXPECT_EQ(questions_, 0);
}

TEST_F(ReceiverSessionTest, PulsesResumeTheThreadOnlyWhileReceivingAndIdle) {
  Make();
  const thread_id thread = session_->Thread();
  session_->StopSniffer();
  ASSERT_TRUE(WaitFor([&] { return StateOf(thread) == ThreadState::kSuspended; }));
  // Receiving off, then the thread counting as busy: the pulse leaves it suspended.
  for (const auto& [continuous, busy] : {std::pair{0, 0}, {1, 1}}) {
    flags_.receiving = continuous;
    flags_.scanning = busy;
    session_->Pulse();
    snooze(5000);
    EXPECT_EQ(StateOf(thread), ThreadState::kSuspended) << continuous << busy;
  }
  flags_.scanning = 0;
  session_->Pulse();
  EXPECT_TRUE(WaitFor([&] { return StateOf(thread) != ThreadState::kSuspended; }));
}

TEST_F(ReceiverSessionTest,
       PortChangesReopenExceptForTheSameSerialPortAndPrioritiesRoundDownToTens) {
  Make();
  int opens = devices_->Opens();
  TraceCapture trace;
  Send(kUseSerial2);
  EXPECT_TRUE(trace.Contains(" ..same ser2 "));
  EXPECT_EQ(devices_->Opens(), opens);
  // A USB port is opened again even when it is the same.
  for (int again = 0; again < 2; ++again) {
    Send(kUseUsb1);
    EXPECT_GT(devices_->Opens(), opens) << again;
    opens = devices_->Opens();
    EXPECT_EQ(PortName(), "usb1");
    EXPECT_STREQ(Settings()->rs232_port, "usb1");
  }
  Send(kUseSerial4);  // no such device: the thread reports the missing port
  EXPECT_EQ(PortName(), "no port");
  EXPECT_TRUE(WaitFor([&] { return sink_.Events().back() == "port missing"; }));

  Message slider(kReceiverPriority);
  slider.AddInt32("be:value", 47);
  session_->MessageReceived(&slider);
  EXPECT_TRUE(trace.Contains("| Prio:40 good "));
  EXPECT_EQ(Settings()->PRIORITY, 40);
  thread_info info;
  ASSERT_EQ(get_thread_info(session_->Thread(), &info), kOk);
  EXPECT_EQ(info.priority, 40);
}

TEST_F(ReceiverSessionTest, BusyReportsAskOnceAndSensorRemovedReopensThePortOfThisRun) {
  devices_->SetBusy("usb1");
  Open("usb1");
  EXPECT_EQ(PortName(), "serial2");  // the fallback that opened meanwhile
  TraceCapture trace;
  Send(kReceiverPortBusy);
  Send(kReceiverPortBusy);
  EXPECT_EQ(questions_, 1);
  EXPECT_TRUE(trace.Contains("out"));
  const thread_id old_thread = session_->Thread();
  devices_->SetBusy("");  // the user freed the sensor
  answer_(true);
  EXPECT_NE(session_->Thread(), old_thread);
  EXPECT_EQ(PortName(), "usb1") << "not the fallback";
}

TEST_F(ReceiverSessionTest, SensorRemovedReopensThePortThatWasBusy) {
  devices_ = std::make_shared<FakeReceiverDevices>(std::vector<std::string>{"serial2"});
  SetReceiverDevices(devices_);
  devices_->SetBusy("serial2");
  Open();
  ASSERT_EQ(PortName(), "no port");
  Message busy(kReceiverPortBusy);
  busy.AddString("port", "serial2");
  session_->MessageReceived(&busy);
  Send(kNoReceiverPort);
  ASSERT_EQ(questions_, 1);
  devices_->SetBusy("");
  answer_(true);
  EXPECT_EQ(PortName(), "serial2") << "not the setting's serial0";
}

TEST_F(ReceiverSessionTest, WithoutAReceiverTheUserIsToldOnceWhatKoruCanUseAndNotAskedIfBusy) {
  SetReceiverDevices(std::make_shared<FakeReceiverDevices>(std::vector<std::string>{}));
  for (int start = 0; start < 2; ++start) {
    Open();
    ASSERT_EQ(PortName(), "no port");
    Send(kNoReceiverPort);  // from the thread that found no port
    Send(kNoReceiverPort);
  }
  EXPECT_EQ(questions_, 0);
  ASSERT_EQ(notices_.size(), 1u) << "once, not at every start";
  EXPECT_EQ(notices_[0].rfind("No receiver was found.\n", 0), 0u) << notices_[0];
  EXPECT_NE(notices_[0].find("koru --port replay:demo.mode2 --dry-run"), std::string::npos);
  EXPECT_EQ(notices_[0].find("no such device"), std::string::npos) << notices_[0];
}

TEST_F(ReceiverSessionTest, EndingTheThreadStopsItBeforeThePortCloses) {
  Make();
  const thread_id thread = session_->Thread();
  Send(kEndReceiverThread);
  EXPECT_EQ(StateOf(thread), ThreadState::kEnded);
  view_.reset();
  session_.reset();  // closes the port; no thread reads it any more (ASan/TSan check)
}

TEST_F(ReceiverSessionTest, ThePulseRestsUnlessTheThreadWaitsTheLampShowsOrAKeyWaitsToBeCleared) {
  Make();
  flags_.scanning = 1;
  EXPECT_EQ(view_->PulsesUntilWork(), 0) << "hidden view, thread listening, nothing shown";

  // A key was shown: the pulse comes back for the 'RUBR' that clears it, at the same pulse as
  // when it had run all along.
  view_->ReportShown();
  const int32_t until = view_->PulsesUntilWork();
  EXPECT_EQ(until, 20 - view_->PulseCount());
  view_->SkipPulses(until - 1);
  EXPECT_EQ(app_.clears, 0);
  view_->Pulse();
  EXPECT_EQ(app_.clears, 1);
  EXPECT_EQ(view_->PulsesUntilWork(), 0);
  view_->ReportShown();
  EXPECT_EQ(view_->PulsesUntilWork(), 22) << "a whole cycle to the next 'RUBR'";
  view_->SetHold(true);
  EXPECT_EQ(view_->PulsesUntilWork(), 0) << "held: no 'RUBR'";
  for (int pulse = 0; pulse < 44; ++pulse) view_->Pulse();
  EXPECT_EQ(app_.clears, 1) << "held";

  // A thread waiting for its resume, and the blinking lamp, need every pulse.
  flags_.resume_wanted = true;
  EXPECT_EQ(view_->PulsesUntilWork(), 1);
  flags_.resume_wanted = false;
  QWidget window;
  view_->setParent(&window);
  window.show();
  EXPECT_EQ(view_->PulsesUntilWork(), 1);

  flags_.receiving = 0;
  EXPECT_EQ(view_->PulsesUntilWork(), 0) << "receiving off: pulses do nothing";
  view_->setParent(nullptr);
}

}  // namespace koru
