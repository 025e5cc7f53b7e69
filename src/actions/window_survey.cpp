// The task switcher ("Tab"), the file manager's windows and closing the front window or
// application ("Eject").
#include <string_view>

#include "actions/actions.h"
#include "actions/key_message.h"
#include "platform/files/paths.h"
#include "platform/launcher/launcher.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr std::string_view kAppEntry = "TEAM: ";
constexpr std::string_view kWindowEntry = " WIN: ";

// The trace text of the leave-out row that `executable` matches, or null.
const char* LeaveOutReason(const std::string& executable) {
  size_t server = executable.find("_server");
  if (server != std::string::npos && server > 0) return " [SERVER]\n";
  size_t daemon = executable.find("_daemon");
  if (daemon != std::string::npos && daemon > 0) return " [DAEMON]\n";
  if (executable.starts_with("Deskbar")) return " [DESKBAR]\n";
  if (executable.starts_with("registrar")) return " [ROSTER]\n";
  if (executable.starts_with("wstitle")) return " [WSTITLE]\n";
  if (executable.starts_with("device_watcher")) return " [DEVICE_WATCHER]\n";
  return nullptr;
}

}  // namespace

void LookForTrackerWins(ActionServices& services, std::vector<std::string>* out) {
  std::vector<std::string> titles = services.desktop->FileManagerWindows();
  if (!out) return;
  // Highest window index first.
  for (auto title = titles.rbegin(); title != titles.rend(); ++title) {
    out->push_back(std::string(kWindowEntry) + *title);
  }
}

void SwitchApplication(ActionServices& services, AppInfo* info) {
  FollowMousFocus(services, false);
  std::vector<AppInfo> apps = services.desktop->RunningApps();
  std::vector<std::string> entries;
  for (const AppInfo& app : apps) {
    if (const char* reason = LeaveOutReason(app.executable)) {
      Trace("%s", reason);
      continue;
    }
    if (app.signature == kTrackerSignature)
      LookForTrackerWins(services, &entries);
    else
      entries.push_back(std::string(kAppEntry) + app.signature);
  }
  snooze(1000);
  int32_t count = static_cast<int32_t>(entries.size());
  int32_t& position = services.switch_position;
  if (++position >= count) position = 0;
  for (int32_t i = 0; i < count; ++i) {
    Trace("%s%s\n", i == position ? " NT>" : "    ", entries[i].c_str());
  }
  if (count == 0) return;

  const std::string& entry = entries[position];
  Trace("Will activate %2ld %s\n", static_cast<long>(position), entry.c_str());
  std::string name = entry.substr(kAppEntry.size());
  if (entry.starts_with(kWindowEntry)) {
    // The file manager raises its window of that name, or opens the folder it names.
    if (services.desktop->ActivateFileManagerWindow(name) != kOk) {
      services.launcher->OpenWithPreferredApp(MapStoredPath(name));
    }
    Trace("[ShortTOP][%s]\n", name.c_str());
    return;
  }
  for (const AppInfo& app : apps) {
    if (app.signature != name) continue;
    if (info) *info = app;
    services.desktop->Activate(app.team);
    return;
  }
}

void CloseFrontWindow(ActionServices& services) {
  FollowMousFocus(services, false);
  std::string tracker_title = "--";
  AppInfo active;
  if (!services.desktop->ActiveApp(&active)) {
    Trace(" B5M: oops - bad messenger '%s'\n", active.signature.c_str());
  }
  const std::string& signature = active.signature;

  if (signature == kTrackerSignature) {
    std::vector<std::string> windows = services.desktop->FileManagerWindows();
    long count = static_cast<long>(windows.size());
    Trace("..Tracker has %ld Windows \n", count);
    // The file manager's desktop and status windows are never listed here (the original
    // counted those two), so one folder window is already one that may be closed.
    if (count >= 1) {
      tracker_title = windows[count - 1];
      Trace(" C   topname: %s\n", tracker_title.c_str());
    }
    if (count < 1) {
      Trace(" .. don't quit Status/Desktop\n");
      return;
    }
    Trace("..check TrackerName '%s'\n", tracker_title.c_str());
    std::string desktop_folder = (HomeFolder() / "Desktop").string();
    if (tracker_title.find("Tracker Status") != std::string::npos ||
        tracker_title.find("/boot/home/Desktop") != std::string::npos ||
        tracker_title.find(desktop_folder) != std::string::npos) {
      Trace("..quit is forbidden\n");
      return;
    }
    Trace("..will close: '%s'\n", tracker_title.c_str());
    services.desktop->SendMessage(MessageTarget::ActiveWindowAny(), Message(kQuitRequested));
    return;
  }

  struct Protected {
    const char* signature;
    const char* trace;
  };
  static constexpr Protected kProtected[] = {
      {kDeskbarSignature, ".. don't quit the deskbar\n"},
      {kTerminalSignature, ".. don't quit a Terminal\n"},
      {kWorkspacesSignature, ".. don't quit WorkspaceWin\n"},
      {kKoruSignature, ".. don't quit myself\n"},
  };
  bool matched = false;
  for (const Protected& row : kProtected) {
    if (signature != row.signature) continue;
    Trace("%s", row.trace);
    if (signature == kKoruSignature) IKeypress2App(services, 69);
    matched = true;
  }
  if (matched) return;
  // Without an active application there is nobody to ask.
  if (signature.empty()) return;
  Trace("\n  Quit to: %s ", signature.c_str());
  services.desktop->SendMessage(MessageTarget::App(signature), Message(kQuitRequested));
}

}  // namespace koru
