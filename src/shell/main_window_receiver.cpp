// The main window's side of the receiver: the receiver session and its reports, the receiver
// view, their messages and the pulse.
#include <QCheckBox>

#include "platform/desktop/desktop_messages.h"
#include "platform/lines/receiver_port.h"
#include "platform/lines/replay_line.h"
#include "platform/messaging/trace.h"
#include "receiver/port_access.h"
#include "receiver/receiver_messages.h"
#include "receiver/view/pulse_view.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/main_window.h"
#include "shell/receiver_dialogs.h"

namespace koru {

std::vector<std::string> MainWindow::SystemPorts() {
  return CurrentReceiverDevices()->List();
}

void MainWindow::BuildReceiverView() {
  report_sink_ = std::make_unique<PostedReportSink>(GetLooper(), &report_target_);
  receiver_ = std::make_unique<ReceiverSession>(&receiver_flags_, settings_, report_sink_.get(),
                                                setup_.port);
  receiver_->SetBusyQuestion(AskWhetherSensorRemoved);
  receiver_->SetNoReceiverNotice(NoticeNoReceiver);
  connect(receiver_.get(), &ReceiverSession::PulseWanted, this, [this] { WakePulse(); });
  pulse_view_ = new PulseView(QRect(533, 4, 160, 16), "puView", receiver_.get(), pose_view_);
  pulse_view_->setVisible(settings_ != nullptr && settings_->show_pulse);
  connect(pulse_view_, &PulseView::PulseWanted, this, [this] { WakePulse(); });
  PlaceContinueBox();
  ShowReceiverState();
  if (!list_ports_) list_ports_ = SystemPorts;
}

void MainWindow::PlaceContinueBox() {
  // In the receiver view's place when it is hidden; under it when it shows, since the window
  // is too narrow for the box beside it.
  const QRect view = pulse_view_->geometry();
  if (pulse_view_->isHidden()) {
    continue_->move(view.left() + 5, view.top());
  } else {
    continue_->move(view.left(), view.bottom() + 1 + 4);
  }
}

void MainWindow::ReceiverReported(const ReceiverReport& report) {
  router_.HandleReport(report);
  if (report_observer_) report_observer_(report);
}

bool MainWindow::HandleReceiverMessage(Message* message) {
  if (ReceiverSession::IsSessionMessage(message->what)) {
    if (receiver_ != nullptr) receiver_->MessageReceived(message);
    // No port, or one held by another program: said once in the log, and shown where the
    // remote's name would be, until a port opens.
    const bool failed = message->what == kNoReceiverPort || message->what == kReceiverPortBusy;
    if (failed && receiver_ != nullptr && receiver_->Attempts() == 1) {
      InsertLog(std::string(getLabel(kLabelNoPort)) + "\t\t" + receiver_->WantedPort() + "\n");
    }
    ShowReceiverState();
    return true;
  }
  switch (message->what) {
    case kReceiverOff:
    case kReceiverEnded:
      return true;  // a receiver thread has ended; nothing counts them here
    case kHoldReceiverInfoToggled:
      if (settings_ != nullptr) {
        settings_->hold_irInfo = !settings_->hold_irInfo;
        if (pulse_view_ != nullptr) pulse_view_->SetHold(settings_->hold_irInfo);
      }
      return true;
    case kPulseViewToggled:
      if (settings_ != nullptr && pulse_view_ != nullptr) {
        settings_->show_pulse = !settings_->show_pulse;
        pulse_view_->setVisible(settings_->show_pulse);
        PlaceContinueBox();
      }
      return true;
    default:
      return false;
  }
}

void MainWindow::ShowReceiverState() {
  const bool open = receiver_ != nullptr && receiver_->Port() != nullptr;
  if (open == receiver_shown_open_) return;
  receiver_shown_open_ = open;
  const QString text =
      open ? QString::fromUtf8(getLabel(kLabelNoRemote)) : QString("No receiver open");
  ir_sender_->setText(text);
  mini_rem_->setText(text);
  if (pulse_view_ != nullptr) pulse_view_->update();
}

void MainWindow::PlanPulse() {
  int32_t pulses = pulse_view_ != nullptr ? pulse_view_->PulsesUntilWork() : 0;
  if (setup_.exit_after_replay) pulses = 1;  // watches for the end of the recording
  if (pulses <= 0) {
    pulse_.stop();
    return;
  }
  pulse_skip_ = pulses - 1;
  pulse_.start(static_cast<int>(pulse_rate_ / 1000 * pulses));
}

void MainWindow::WakePulse() {
  if (!pulse_.isActive() || pulse_skip_ > 0) PlanPulse();
}

void MainWindow::OnPulse() {
  if (pulse_view_ != nullptr) {
    pulse_view_->SkipPulses(pulse_skip_);
    pulse_view_->Pulse();
  }
  if (receiver_ != nullptr) receiver_->Pulse();
  pulse_skip_ = 0;
  if (setup_.exit_after_replay && receiver_ != nullptr && receiver_->Port() != nullptr) {
    auto* replay = dynamic_cast<ReplayLine*>(receiver_->Port()->Line());
    if (replay != nullptr && replay->Finished() && ActionsIdle()) {
      setup_.exit_after_replay = false;
      Trace("replay finished\n");
      // A recording that could not be played to its end fails the run, as a bad file at the
      // start does.
      Message quit(kQuitRequested);
      if (replay->Broken()) quit.AddInt32("status", 1);
      AppMessenger().SendMessage(quit);
    }
  }
  PlanPulse();
}

}  // namespace koru
