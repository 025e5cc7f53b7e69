#include "platform/desktop/fake_desktop.h"

#include <algorithm>

namespace koru {

int32_t FakeDesktop::AddApp(const std::string& signature, const std::string& executable) {
  AppInfo info;
  info.signature = signature;
  info.executable = executable;
  info.team = next_team_++;
  apps.push_back(info);
  return info.team;
}

void FakeDesktop::Activate(const std::string& signature) {
  for (const AppInfo& app : apps) {
    if (app.signature == signature) {
      active_team = app.team;
      return;
    }
  }
  active_team = AddApp(signature);
}

bool FakeDesktop::ActiveApp(AppInfo* info) {
  for (const AppInfo& app : apps) {
    if (app.team == active_team) {
      *info = app;
      return true;
    }
  }
  return false;
}

status_t FakeDesktop::Activate(int32_t team) {
  calls.push_back("activate " + std::to_string(team));
  bool known =
      std::any_of(apps.begin(), apps.end(), [&](const AppInfo& a) { return a.team == team; });
  if (!known) return kEntryNotFound;
  active_team = team;
  return kOk;
}

status_t FakeDesktop::Launch(const std::string& signature) {
  calls.push_back("launch " + signature);
  auto found = launch_results.find(signature);
  status_t result = found == launch_results.end() ? kError : found->second;
  if (on_launch) on_launch(signature, result);
  return result;
}

status_t FakeDesktop::SendMessage(const MessageTarget& target, const Message& message) {
  sent.push_back({target, message});
  return kOk;
}

status_t FakeDesktop::ActivateFileManagerWindow(const std::string& title) {
  calls.push_back("raise " + title);
  if (raise_fails) return kEntryNotFound;
  return std::find(file_manager_windows.begin(), file_manager_windows.end(), title) !=
                 file_manager_windows.end()
             ? kOk
             : kEntryNotFound;
}

void FakeDesktop::ActivateWorkspace(int32_t index) {
  calls.push_back("workspace " + std::to_string(index));
  current_workspace = index;
}

void FakeDesktop::SetPointerPosition(ScreenPoint point) {
  calls.push_back("pointer " + std::to_string(point.x) + "," + std::to_string(point.y));
  pointer = point;
}

void FakeDesktop::SetFocusFollowsMouse(bool on) {
  calls.push_back(on ? "fmf 1" : "fmf 0");
  focus_follows_mouse = on;
}

}  // namespace koru
