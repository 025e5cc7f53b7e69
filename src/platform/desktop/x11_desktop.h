#pragma once
// The desktop on X11: running applications and the active one from EWMH (_NET_CLIENT_LIST,
// _NET_ACTIVE_WINDOW, _NET_WM_PID, WM_CLASS), activation, closing and workspaces by EWMH client
// messages, keys and pointer through XTest. Thread-safe; the action thread is its user.
#include <memory>

#include "platform/desktop/desktop.h"
#include "platform/desktop/signature_table.h"

namespace koru {

class Launcher;

class X11Desktop : public Desktop {
 public:
  // Null when no X display can be opened. `launcher` starts applications and must outlive it.
  static std::unique_ptr<X11Desktop> Open(const SignatureTable& table, Launcher* launcher);
  ~X11Desktop() override;

  std::vector<AppInfo> RunningApps() override;
  bool ActiveApp(AppInfo* info) override;
  status_t Activate(int32_t team) override;
  status_t Launch(const std::string& signature) override;
  status_t SendMessage(const MessageTarget& target, const Message& message) override;
  std::vector<std::string> FileManagerWindows() override;
  status_t ActivateFileManagerWindow(const std::string& title) override;
  int32_t CountWorkspaces() override;
  int32_t CurrentWorkspace() override;
  void ActivateWorkspace(int32_t index) override;
  ScreenPoint PointerPosition() override;
  void SetPointerPosition(ScreenPoint point) override;
  void SetFocusFollowsMouse(bool on) override;
  DesktopReport Report() const override;

  struct Impl;

 private:
  explicit X11Desktop(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The X keysym for a key code of the key message (0 when the key has none).
uint32_t KeysymForKeyCode(int32_t key);

}  // namespace koru
