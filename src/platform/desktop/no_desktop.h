#pragma once
// The desktop when there is none (no display to reach): every request is traced as impossible
// and does nothing, so KORU still runs, receives and routes keys.
#include "platform/desktop/desktop.h"

namespace koru {

class NoDesktop : public Desktop {
 public:
  // `why` is said with every refusal ("DISPLAY is not set").
  explicit NoDesktop(std::string why = "DISPLAY is not set") : why_(std::move(why)) {}

  std::vector<AppInfo> RunningApps() override { return {}; }
  bool ActiveApp(AppInfo*) override { return false; }
  status_t Activate(int32_t team) override;
  status_t Launch(const std::string& signature) override;
  status_t SendMessage(const MessageTarget& target, const Message& message) override;
  std::vector<std::string> FileManagerWindows() override { return {}; }
  status_t ActivateFileManagerWindow(const std::string& title) override;
  int32_t CountWorkspaces() override { return 1; }
  int32_t CurrentWorkspace() override { return 0; }
  void ActivateWorkspace(int32_t index) override;
  ScreenPoint PointerPosition() override { return {}; }
  void SetPointerPosition(ScreenPoint point) override;
  void SetFocusFollowsMouse(bool on) override { focus_follows_mouse_ = on; }
  DesktopReport Report() const override;

 private:
  void CannotAct(const char* what) const;

  std::string why_;
  bool focus_follows_mouse_ = false;
};

}  // namespace koru
