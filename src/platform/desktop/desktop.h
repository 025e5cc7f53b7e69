#pragma once
// The desktop as the actions see it: running applications by signature, the active application
// and window, activation and launching, messages to windows and applications (key and mouse
// messages become real input; '_QRQ' asks a window or an application to close), workspaces, the
// pointer and the focus-follows-mouse mode. Backends: X11 (EWMH + XTest), Wayland (an input
// injector and a compositor adapter), a "no desktop" one that only traces, and a recording fake
// for tests.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/desktop/desktop_report.h"
#include "platform/messaging/message.h"
#include "platform/messaging/status.h"

namespace koru {

// One running application (one client of the window manager, grouped by process).
struct AppInfo {
  std::string signature;   // "application/x-vnd.tq-KORU", from the signature table, or derived
  std::string executable;  // the executable's file name
  int32_t team = -1;       // the process id
};

// Launch result when the application already runs (counts as success).
constexpr status_t kAlreadyRunning = static_cast<status_t>(0x80002004);

// Where a message goes.
struct MessageTarget {
  enum class Kind {
    kActiveWindow,     // the focused window of the active application
    kActiveWindowAny,  // the active window, whatever kind it is (used for closing)
    kActiveApp,        // the active application
    kApp,              // the application with `signature` (any instance)
  };
  Kind kind = Kind::kActiveWindow;
  std::string signature;

  static MessageTarget ActiveWindow() { return {Kind::kActiveWindow, {}}; }
  static MessageTarget ActiveWindowAny() { return {Kind::kActiveWindowAny, {}}; }
  static MessageTarget ActiveApp() { return {Kind::kActiveApp, {}}; }
  static MessageTarget App(std::string signature) { return {Kind::kApp, std::move(signature)}; }
  bool operator==(const MessageTarget&) const = default;
};

struct ScreenPoint {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const ScreenPoint&) const = default;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Running applications in the window manager's client order.
  virtual std::vector<AppInfo> RunningApps() = 0;
  // False when no application is active.
  virtual bool ActiveApp(AppInfo* info) = 0;
  virtual status_t Activate(int32_t team) = 0;
  // kOk, kAlreadyRunning, or a failure.
  virtual status_t Launch(const std::string& signature) = 0;

  // Fire-and-forget. Key messages ('_KYD', '_MDN') are delivered as complete strokes or clicks
  // (press and release), so nothing is ever left held down; '_KYU' and '_MUP' only end what
  // was already ended. '_QRQ' closes the active window or asks an application to quit.
  virtual status_t SendMessage(const MessageTarget& target, const Message& message) = 0;

  // Titles of the file manager's windows, by window index.
  virtual std::vector<std::string> FileManagerWindows() = 0;
  // Raises the file manager window with that title; kEntryNotFound when there is none.
  virtual status_t ActivateFileManagerWindow(const std::string& title) = 0;

  virtual int32_t CountWorkspaces() = 0;
  virtual int32_t CurrentWorkspace() = 0;
  virtual void ActivateWorkspace(int32_t index) = 0;

  virtual ScreenPoint PointerPosition() = 0;
  virtual void SetPointerPosition(ScreenPoint point) = 0;
  // A pointer step from where the caller saw the pointer: desktops that can only move the
  // pointer relatively (the RemoteDesktop portal) move it by the difference.
  virtual void MovePointer(ScreenPoint from, ScreenPoint to) {
    (void)from;
    SetPointerPosition(to);
  }

  // X11 has no portable switch for it: the backends keep the state only.
  virtual void SetFocusFollowsMouse(bool on) = 0;

  // The session and what this backend can do there, for the start's trace and the settings.
  virtual DesktopReport Report() const { return {}; }
};

}  // namespace koru
