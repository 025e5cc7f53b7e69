// Pieces of the main window that the remote library and the actions fill in.
#include "shell/rc_window.h"

bool RcWindow::HandleRoutingMessage(Message* message) {
  return HandleReceiverMessage(message);
}
bool RcWindow::ActionsIdle() {
  return true;
}
void RcWindow::LoadRemoteLibrary() {}
void RcWindow::ReleaseRemoteLibrary() {}
void RcWindow::ShutdownActions() {}
