#pragma once
// A desktop for tests: a scripted set of applications and windows; records every call it gets.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/desktop/desktop.h"

namespace koru {

class FakeDesktop : public Desktop {
 public:
  struct Sent {
    MessageTarget target;
    Message message;
  };

  // Scripted state.
  std::vector<AppInfo> apps;
  int32_t active_team = -1;  // -1: nothing active
  std::vector<std::string> file_manager_windows;
  int32_t workspace_count = 4;
  int32_t current_workspace = 0;
  ScreenPoint pointer;
  bool raise_fails = false;  // a listed window that has gone meanwhile
  bool focus_follows_mouse = false;
  std::map<std::string, status_t> launch_results;  // default kError
  DesktopReport report;                            // what Report() says
  // Runs on every launch with its result (e.g. to make the launched application appear).
  std::function<void(const std::string& signature, status_t result)> on_launch;

  // Recorded calls: "activate 12", "launch SIG", "workspace 3", "pointer 10,20",
  // "fmf 1", "raise TITLE"; messages in `sent`.
  std::vector<std::string> calls;
  std::vector<Sent> sent;

  // A running application; returns its team.
  int32_t AddApp(const std::string& signature, const std::string& executable = "app");
  void Activate(const std::string& signature);

  std::vector<AppInfo> RunningApps() override { return apps; }
  bool ActiveApp(AppInfo* info) override;
  status_t Activate(int32_t team) override;
  status_t Launch(const std::string& signature) override;
  status_t SendMessage(const MessageTarget& target, const Message& message) override;
  std::vector<std::string> FileManagerWindows() override { return file_manager_windows; }
  status_t ActivateFileManagerWindow(const std::string& title) override;
  int32_t CountWorkspaces() override { return workspace_count; }
  int32_t CurrentWorkspace() override { return current_workspace; }
  void ActivateWorkspace(int32_t index) override;
  ScreenPoint PointerPosition() override { return pointer; }
  void SetPointerPosition(ScreenPoint point) override;
  void SetFocusFollowsMouse(bool on) override;
  DesktopReport Report() const override { return report; }

 private:
  int32_t next_team_ = 100;
};

}  // namespace koru
