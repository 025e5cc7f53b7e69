#pragma once
// Which desktop KORU runs on, from the session's environment: a Wayland session (and which
// compositor family), an X11 session, or none. KORU acts on X11 through Xlib when it runs as an
// X11 client (DISPLAY without WAYLAND_DISPLAY, or QT_QPA_PLATFORM=xcb chosen on Xwayland).
#include <functional>
#include <string>

namespace koru {

struct DesktopSession {
  enum class Kind { kNone, kX11, kWayland };
  enum class Family { kOther, kSway, kI3, kKde, kGnome };
  Kind kind = Kind::kNone;
  Family family = Family::kOther;
  std::string name;        // "sway", "i3", "KDE Plasma", "GNOME", else $XDG_CURRENT_DESKTOP
  std::string ipc_socket;  // $SWAYSOCK or $I3SOCK
  std::string why_none;    // for kNone: "DISPLAY is not set"

  // "wayland (sway)", "x11", "none".
  std::string Describe() const;
};

using EnvironmentLookup = std::function<const char*(const char* name)>;

DesktopSession DetectDesktopSession(const EnvironmentLookup& environment);
DesktopSession DetectDesktopSession();  // from this process's environment

}  // namespace koru
