// Workspaces, the pointer step and focus-follows-mouse; the list of running applications.
#include <algorithm>
#include <cmath>

#include "actions/actions.h"
#include "actions/key_message.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/trace.h"
#include "settings/key_functions.h"

namespace koru {

std::vector<AppInfo> ListRunningApps(ActionServices& services) {
  std::vector<AppInfo> apps = services.desktop->RunningApps();
  // A player without a window is still running for the media actions.
  for (const std::string& signature : services.players->RunningPlayers()) {
    bool listed = std::any_of(apps.begin(), apps.end(),
                              [&](const AppInfo& app) { return app.signature == signature; });
    if (!listed) {
      AppInfo player;
      player.signature = signature;
      apps.push_back(player);
    }
  }
  return apps;
}

bool IsAppRunning(ActionServices& services, const std::string& signature) {
  std::vector<AppInfo> apps = ListRunningApps(services);
  return std::any_of(apps.begin(), apps.end(),
                     [&](const AppInfo& app) { return app.signature == signature; });
}

void FollowMousFocus(ActionServices& services, bool on) {
  services.desktop->SetFocusFollowsMouse(on);
  Trace(" FMF%d ", on ? 1 : 0);
  snooze(1000);
}

void IJumpWorkSpace(ActionServices& services, int32_t n) {
  FollowMousFocus(services, false);
  int32_t count = services.desktop->CountWorkspaces();
  int32_t w = n - 52;
  while (w > 9) w -= 10;
  if (w < 0) w = 9;
  int32_t current = services.desktop->CurrentWorkspace();
  if (w >= count) w -= count;
  if (w >= 0 && w != current) services.desktop->ActivateWorkspace(w);
  snooze(1000);
}

namespace {

// Arrow keys and "OK" as the key message fields for the panel and the file manager.
void SetArrowKey(Message* message, int32_t n) {
  struct Row {
    int32_t n, key, character;
  };
  static constexpr Row kRows[] = {
      {61, 0x57, 0x1e}, {62, 0x62, 0x1f}, {63, 0x61, 0x1c}, {64, 0x63, 0x1d}, {69, 0x47, 0x0a}};
  for (const Row& row : kRows) {
    if (row.n == n) {
      SetInt32(message, "key", row.key);
      SetKeyCharacter(message, row.character);
    }
  }
}

}  // namespace

void IMoveMouse(ActionServices& services, ViewPoint origin, int32_t n, PointerView* view,
                StatusLabel* label) {
  if (n != 61 && n != 62 && n != 63 && n != 64 && n != 69) return;
  AppInfo active;
  services.desktop->ActiveApp(&active);
  bigtime_t t = system_time();

  Message message = MakeKeyMessage(t);
  message.AddInt32("key", 0x57);
  AddZeroKeyStates(&message);
  message.AddInt32("raw_char", 0x2d);
  message.AddInt8("byte", 0x2d);
  message.AddString("bytes", "  ");

  if (active.signature == kDeskbarSignature) {
    Trace("  *DESKBAR (%s)", active.signature.c_str());
    SetArrowKey(&message, n);
    if (n == 69) {
      FollowMousFocus(services, false);
      message.what = kMouseDown;
      message.AddInt32("clicks", 1);
      message.AddInt32("buttons", 1);
    }
    services.desktop->SendMessage(MessageTarget::ActiveApp(), message);
    snooze(500);
    message.ReplaceInt64("when", t + 500);
    message.what = kMouseUp;
    services.desktop->SendMessage(MessageTarget::ActiveApp(), message);
    return;
  }
  if (active.signature == kTrackerSignature) {
    Trace("  *TRACKER ON TOP (%ld)", static_cast<long>(n));
    SetArrowKey(&message, n);
    services.desktop->SendMessage(MessageTarget::ActiveWindow(), message);
    return;
  }
  if (active.signature == kKoruSignature) {
    Trace("  *%s ON TOP (%ld)", active.signature.c_str(), static_cast<long>(n));
    if (label) label->Blank();
    if (!view) {
      Trace("IMoveMouse NO BASEVIEW");
      return;
    }
    ViewPoint mouse = view->GetMouse();
    ViewPoint p{mouse.x + origin.x, mouse.y + origin.y};
    const ScreenPoint from{static_cast<int32_t>(std::trunc(p.x)),
                           static_cast<int32_t>(std::trunc(p.y))};
    switch (n) {
      case kKeyArrowUp:
        p.y -= 16;
        break;
      case kKeyArrowDown:
        p.y += 16;
        break;
      case kKeyArrowLeft:
        p.x -= 16;
        break;
      case kKeyArrowRight:
        p.x += 16;
        break;
      default:
        Trace(" **Mouse-klick??");
        FollowMousFocus(services, true);
        return;
    }
    services.desktop->MovePointer(
        from, {static_cast<int32_t>(std::trunc(p.x)), static_cast<int32_t>(std::trunc(p.y))});
    return;
  }
  Trace(" oops?");
}

}  // namespace koru
