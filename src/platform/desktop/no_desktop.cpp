#include "platform/desktop/no_desktop.h"

#include "platform/messaging/trace.h"

namespace koru {

void NoDesktop::CannotAct(const char* what) const {
  Trace("no desktop (%s): cannot %s\n", why_.c_str(), what);
}

status_t NoDesktop::Activate(int32_t) {
  CannotAct("activate an application");
  return kNoDevice;
}

status_t NoDesktop::Launch(const std::string&) {
  CannotAct("launch an application");
  return kNoDevice;
}

status_t NoDesktop::SendMessage(const MessageTarget&, const Message& message) {
  CannotAct(("send '" + FourCCText(message.what) + "'").c_str());
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

DesktopReport NoDesktop::Report() const {
  DesktopReport report{"none", {}};
  for (const char* name : {"keys", "pointer", "workspaces", "front application", "windows"}) {
    report.capabilities.push_back(
        {name, {}, "no desktop: " + why_, "Run KORU within an X11 or Wayland session."});
  }
  return report;
}

}  // namespace koru
