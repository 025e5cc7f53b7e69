#include "platform/desktop/desktop_session.h"

#include <cstdlib>
#include <sstream>

namespace koru {

namespace {

std::string Value(const EnvironmentLookup& environment, const char* name) {
  const char* value = environment(name);
  return value ? value : "";
}

// XDG_CURRENT_DESKTOP is a colon-separated list ("ubuntu:GNOME", "KDE").
bool ListsDesktop(const std::string& list, const std::string& desktop) {
  std::istringstream items(list);
  std::string item;
  while (std::getline(items, item, ':')) {
    if (item == desktop) return true;
  }
  return false;
}

}  // namespace

std::string DesktopSession::Describe() const {
  switch (kind) {
    case Kind::kWayland:
      return "wayland (" + name + ")";
    case Kind::kX11:
      return "x11";
    case Kind::kNone:
      break;
  }
  return "none";
}

DesktopSession DetectDesktopSession(const EnvironmentLookup& environment) {
  DesktopSession session;
  std::string wayland = Value(environment, "WAYLAND_DISPLAY");
  std::string display = Value(environment, "DISPLAY");
  bool qt_on_x11 = Value(environment, "QT_QPA_PLATFORM").starts_with("xcb");
  if (!wayland.empty() && !(qt_on_x11 && !display.empty())) {
    session.kind = DesktopSession::Kind::kWayland;
  } else if (!display.empty()) {
    session.kind = DesktopSession::Kind::kX11;
  } else {
    session.why_none = "DISPLAY is not set";
  }

  std::string current = Value(environment, "XDG_CURRENT_DESKTOP");
  if (std::string sway = Value(environment, "SWAYSOCK"); !sway.empty()) {
    session.family = DesktopSession::Family::kSway;
    session.name = "sway";
    session.ipc_socket = sway;
  } else if (std::string i3 = Value(environment, "I3SOCK"); !i3.empty()) {
    session.family = DesktopSession::Family::kI3;
    session.name = "i3";
    session.ipc_socket = i3;
  } else if (ListsDesktop(current, "KDE") || !Value(environment, "KDE_FULL_SESSION").empty()) {
    session.family = DesktopSession::Family::kKde;
    session.name = "KDE Plasma";
  } else if (ListsDesktop(current, "GNOME")) {
    session.family = DesktopSession::Family::kGnome;
    session.name = "GNOME";
  } else {
    session.name = current.empty() ? "unknown" : current;
  }
  return session;
}

DesktopSession DetectDesktopSession() {
  return DetectDesktopSession([](const char* name) { return std::getenv(name); });
}

}  // namespace koru
