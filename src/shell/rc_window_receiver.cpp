// The main window's side of the receiver: the receiver view, its messages and the pulse.
#include <QCheckBox>
#include <QTextEdit>

#include "platform/alert.h"
#include "platform/receiver_port.h"
#include "platform/replay_line.h"
#include "platform/trace.h"
#include "receiver/port_access.h"
#include "receiver/port_open_failure.h"
#include "receiver/pulse_view.h"
#include "receiver/receiver_flags.h"
#include "shell/label_table.h"
#include "shell/prefs.h"
#include "shell/rc_window.h"

namespace {
bool g_exit_after_replay = false;
bool g_port_overridden = false;

void RecordPortName(const char* name) {
  if (Prefs* prefs = Prefs::getSTPrefs()) Prefs::SetText(prefs->rs232_port, name);
}
}  // namespace

void RcWindow::SetPortForThisRun(const std::string& name, bool exit_after_replay) {
  g_port_overridden = !name.empty();
  g_exit_after_replay = exit_after_replay;
  sPulseView::SetPortOverride(name);
}

std::vector<std::string> RcWindow::SystemPorts() {
  return CurrentReceiverDevices()->List();
}

void RcWindow::BuildReceiverView() {
  // A port given for this run is not stored; otherwise every successful open is remembered.
  SetPortNameRecorder(g_port_overridden ? nullptr : RecordPortName);
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
    case FourCC("irCE"):
      if (!message->HasField("_blink")) {
        NoPortReport();
        return true;
      }
      return false;
    default:
      return false;
  }
}

void RcWindow::NoPortReport() {
  CHECK_SCAN_IR = 0;
  // The window's own stop request at shutdown carries no code either: not a port problem.
  if (fClosing) return;
  std::string line =
      std::string(getLabel(187)) + "\t\t" + (fSettings ? fSettings->rs232_port : "");
  // Why the ports did not open, and what to do about it.
  if (const std::string why = RecentOpenFailures(); !why.empty()) line += "\n" + why;
  InsertLog(QString::fromStdString(line));
  AnyAlert(line, false);
}

void RcWindow::InsertLog(const QString& line) {
  QTextCursor cursor(fTextView->document());
  cursor.movePosition(QTextCursor::Start);
  cursor.insertText(line);
}

void RcWindow::OnPulse() {
  if (fPulseView != nullptr) fPulseView->Pulse();
  if (g_exit_after_replay && fPulseView != nullptr && fPulseView->Port() != nullptr) {
    auto* replay = dynamic_cast<ReplayLine*>(fPulseView->Port()->Line());
    if (replay != nullptr && replay->Finished() && ActionsIdle()) {
      g_exit_after_replay = false;
      Trace("replay finished\n");
      AppMessenger().SendMessage(FourCC("_QRQ"));
    }
  }
}
