#pragma once
// The desktop on a Wayland session: keys, clicks and pointer steps through an input injector
// (uinput or the RemoteDesktop portal), windows, the front application and workspaces through
// the compositor's adapter. Either part may be missing; what then cannot be done is traced once
// per capability as "not possible on this desktop" with the reason, never silently dropped.
// Thread-safe; the action thread is its user.
#include <memory>
#include <mutex>
#include <set>

#include "platform/desktop/compositor.h"
#include "platform/desktop/desktop.h"
#include "platform/desktop/input_injector.h"
#include "platform/desktop/signature_table.h"

namespace koru {

class Launcher;

class WaylandDesktop : public Desktop {
 public:
  struct Backends {
    std::unique_ptr<InputInjector> input;  // null: no keys and no pointer
    std::string input_missing;             // why, when null
    std::string input_remedy;              // what would enable it
    std::unique_ptr<Compositor> compositor;
    std::string compositor_missing;  // why there is no adapter, when null
    std::string compositor_remedy;
  };

  // `session` names the desktop in the report ("wayland (sway)"). `launcher` must outlive it.
  WaylandDesktop(std::string session, const SignatureTable& table, Launcher* launcher,
                 Backends backends);

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
  void MovePointer(ScreenPoint from, ScreenPoint to) override;
  void SetFocusFollowsMouse(bool on) override;
  DesktopReport Report() const override { return report_; }

 private:
  // True when the capability is there; otherwise traces why, once.
  bool Can(const char* capability);
  std::string SignatureOf(const CompositorWindow& window) const;
  std::vector<CompositorWindow> WindowsOf(const std::string& signature);
  status_t Stroke(const MessageTarget& target, const Message& message);
  status_t Close(const MessageTarget& target);

  std::mutex mutex_;
  SignatureTable table_;
  Launcher* launcher_;
  Backends backends_;
  DesktopReport report_;
  std::set<std::string> said_;  // capabilities whose absence was traced
  ScreenPoint pointer_;         // where KORU last put the pointer
  bool focus_follows_mouse_ = false;
};

}  // namespace koru
