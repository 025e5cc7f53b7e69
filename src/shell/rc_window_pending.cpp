// Pieces of the main window that the receiver, remote library and action subsystems fill in.
#include "shell/rc_window.h"

bool RcWindow::HandleRoutingMessage(Message*) {
  return false;
}
void RcWindow::OnPulse() {}
void RcWindow::LoadRemoteLibrary() {}
void RcWindow::ReleaseRemoteLibrary() {}
void RcWindow::ShutdownActions() {}
void RcWindow::InsertLog(const QString&) {}
