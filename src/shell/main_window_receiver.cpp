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

std::vector<std::string> MainWindow::SystemPorts() {
  return CurrentReceiverDevices()->List();
}

void MainWindow::BuildReceiverView() {
  fReportSink = std::make_unique<PostedReportSink>(GetLooper(), &fReportTarget);
  fReceiver =
      std::make_unique<ReceiverSession>(&fReceiverFlags, fSettings, fReportSink.get(), fSetup.port);
  fReceiver->SetBusyQuestion(AskWhetherSensorRemoved);
  fReceiver->SetNoReceiverNotice(NoticeNoReceiver);
  connect(fReceiver.get(), &ReceiverSession::PulseWanted, this, [this] { WakePulse(); });
  fPulseView = new PulseView(QRect(533, 4, 160, 16), "puView", fReceiver.get(), fPoseView);
  fPulseView->setVisible(fSettings != nullptr && fSettings->show_pulse);
  connect(fPulseView, &PulseView::PulseWanted, this, [this] { WakePulse(); });
  PlaceContinueBox();
  ShowReceiverState();
  if (!fListPorts) fListPorts = SystemPorts;
}

void MainWindow::PlaceContinueBox() {
  // In the receiver view's place when it is hidden; under it when it shows, since the window
  // is too narrow for the box beside it.
  const QRect view = fPulseView->geometry();
  if (fPulseView->isHidden()) {
    fContinue->move(view.left() + 5, view.top());
  } else {
    fContinue->move(view.left(), view.bottom() + 1 + 4);
  }
}

void MainWindow::ReceiverReported(const ReceiverReport& report) {
  fRouter.HandleReport(report);
  if (fReportObserver) fReportObserver(report);
}

bool MainWindow::HandleReceiverMessage(Message* message) {
  if (ReceiverSession::IsSessionMessage(message->what)) {
    if (fReceiver != nullptr) fReceiver->MessageReceived(message);
    // No port, or one held by another program: said once in the log, and shown where the
    // remote's name would be, until a port opens.
    const bool failed = message->what == kNoReceiverPort || message->what == kReceiverPortBusy;
    if (failed && fReceiver != nullptr && fReceiver->Attempts() == 1) {
      InsertLog(std::string(getLabel(kLabelNoPort)) + "\t\t" + fReceiver->WantedPort() + "\n");
    }
    ShowReceiverState();
    return true;
  }
  switch (message->what) {
    case kReceiverOff:
    case kReceiverEnded:
      return true;  // a receiver thread has ended; nothing counts them here
    case kHoldReceiverInfoToggled:
      if (fSettings != nullptr) {
        fSettings->hold_irInfo = !fSettings->hold_irInfo;
        if (fPulseView != nullptr) fPulseView->SetHold(fSettings->hold_irInfo);
      }
      return true;
    case kPulseViewToggled:
      if (fSettings != nullptr && fPulseView != nullptr) {
        fSettings->show_pulse = !fSettings->show_pulse;
        fPulseView->setVisible(fSettings->show_pulse);
        PlaceContinueBox();
      }
      return true;
    default:
      return false;
  }
}

void MainWindow::ShowReceiverState() {
  const bool open = fReceiver != nullptr && fReceiver->Port() != nullptr;
  if (open == fReceiverShownOpen) return;
  fReceiverShownOpen = open;
  const QString text =
      open ? QString::fromUtf8(getLabel(kLabelNoRemote)) : QString("No receiver open");
  fIrSender->setText(text);
  fMiniRem->setText(text);
  if (fPulseView != nullptr) fPulseView->update();
}

void MainWindow::PlanPulse() {
  int32_t pulses = fPulseView != nullptr ? fPulseView->PulsesUntilWork() : 0;
  if (fSetup.exit_after_replay) pulses = 1;  // watches for the end of the recording
  if (pulses <= 0) {
    fPulse.stop();
    return;
  }
  fPulseSkip = pulses - 1;
  fPulse.start(static_cast<int>(fPulseRate / 1000 * pulses));
}

void MainWindow::WakePulse() {
  if (!fPulse.isActive() || fPulseSkip > 0) PlanPulse();
}

void MainWindow::OnPulse() {
  if (fPulseView != nullptr) {
    fPulseView->SkipPulses(fPulseSkip);
    fPulseView->Pulse();
  }
  if (fReceiver != nullptr) fReceiver->Pulse();
  fPulseSkip = 0;
  if (fSetup.exit_after_replay && fReceiver != nullptr && fReceiver->Port() != nullptr) {
    auto* replay = dynamic_cast<ReplayLine*>(fReceiver->Port()->Line());
    if (replay != nullptr && replay->Finished() && ActionsIdle()) {
      fSetup.exit_after_replay = false;
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
