#include "platform/desktop/no_desktop.h"

#include "platform/messaging/trace.h"

namespace {
void CannotAct(const char* what) {
  Trace("no desktop (DISPLAY not set): cannot %s\n", what);
}
}  // namespace

status_t NoDesktop::Activate(int32_t) {
  CannotAct("activate an application");
  return kNoDevice;
}

status_t NoDesktop::Launch(const std::string&) {
  CannotAct("launch an application");
  return kNoDevice;
}

status_t NoDesktop::SendMessage(const MessageTarget&, const Message& message) {
  Trace("no desktop (DISPLAY not set): cannot send '%s'\n", FourCCText(message.what).c_str());
  return kNoDevice;
}

status_t NoDesktop::ActivateFileManagerWindow(const std::string&) {
  CannotAct("raise a window");
  return kNoDevice;
}

void NoDesktop::ActivateWorkspace(int32_t) {
  CannotAct("switch the workspace");
}

void NoDesktop::SetPointerPosition(ScreenPoint) {
  CannotAct("move the pointer");
}
