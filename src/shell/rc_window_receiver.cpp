// The main window's side of the receiver: the receiver view, its messages and the pulse.
#include <QCheckBox>

#include "platform/lines/receiver_port.h"
#include "platform/lines/replay_line.h"
#include "platform/messaging/trace.h"
#include "receiver/port_access.h"
#include "receiver/view/pulse_view.h"
#include "settings/prefs.h"
#include "shell/rc_window.h"

namespace {
void RecordPortName(const char* name) {
  if (Prefs* prefs = Prefs::getSTPrefs()) Prefs::SetText(prefs->rs232_port, name);
}
}  // namespace

std::vector<std::string> RcWindow::SystemPorts() {
  return CurrentReceiverDevices()->List();
}

void RcWindow::BuildReceiverView() {
  // A port given for this run is not stored; otherwise every successful open is remembered.
  sPulseView::SetPortOverride(fSetup.port);
  SetPortNameRecorder(fSetup.port.empty() ? RecordPortName : nullptr);
  fPulseView = new sPulseView(QRect(533, 4, 160, 16), "puView", fPoseView);
  fPulseView->setVisible(fSettings != nullptr && fSettings->show_pulse);
  PlaceContinueBox();
  if (!fListPorts) fListPorts = SystemPorts;
}

void RcWindow::PlaceContinueBox() {
  // Beside the receiver view when it shows, in its place when it is hidden.
  const QRect view = fPulseView->geometry();
  const int x =
      fPulseView->isVisible() || !fPulseView->isHidden() ? view.right() + 1 + 5 : view.left() + 5;
  fContinue->move(std::min(x, width() - fContinue->width()), view.top());
}

bool RcWindow::HandleReceiverMessage(Message* message) {
  if (sPulseView::IsViewMessage(message->what)) {
    if (fPulseView != nullptr) fPulseView->MessageReceived(message);
    return true;
  }
  switch (message->what) {
    case FourCC("-IR-"):
    case FourCC("_IR_"):
      return true;  // a receiver thread has ended; nothing counts them here
    case FourCC("irhi"):
      if (fSettings != nullptr) {
        fSettings->hold_irInfo = !fSettings->hold_irInfo;
        if (fPulseView != nullptr) fPulseView->SetHold(fSettings->hold_irInfo);
      }
      return true;
    case FourCC("irsp"):
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

void RcWindow::OnPulse() {
  if (fPulseView != nullptr) fPulseView->Pulse();
  if (fSetup.exit_after_replay && fPulseView != nullptr && fPulseView->Port() != nullptr) {
    auto* replay = dynamic_cast<ReplayLine*>(fPulseView->Port()->Line());
    if (replay != nullptr && replay->Finished() && ActionsIdle()) {
      fSetup.exit_after_replay = false;
      Trace("replay finished\n");
      AppMessenger().SendMessage(FourCC("_QRQ"));
    }
  }
}
