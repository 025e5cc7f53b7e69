// Remote groups and splitting: which remote drives the desktop, the application, the audio
// and the video player, and the routing of their keys.
#include <algorithm>
#include <cctype>

#include "actions/actions.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"
#include "presets/preset_messages.h"
#include "routing/key_router.h"
#include "routing/routing_messages.h"
#include "settings/key_functions.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"

namespace koru {

namespace {

struct GroupInfo {
  int32_t kind;
  uint32_t code;
  const char* name;   // for the trace
  const char* found;  // traced when the setting names a loaded remote
};
constexpr GroupInfo kGroups[5] = {
    {10, kChooseWorkspaceRemote, "Workspace", ""},
    {11, kChooseDesktopRemote, "Desktop", "#DesktopRemote "},
    {12, kChooseAppsRemote, "Application", "#AppsRemote "},
    {13, kChooseAudioRemote, "Audio", "#AudioRemote "},
    {14, kChooseVideoRemote, "Video", "#VideoRemote "},
};

// The setting that keeps a group's remote name (none for the workspace group).
char* GroupSetting(Prefs* prefs, int group) {
  switch (group) {
    case 1:
      return prefs->Desktop;
    case 2:
      return prefs->Application;
    case 3:
      return prefs->Audio;
    case 4:
      return prefs->Video;
    default:
      return nullptr;
  }
}

}  // namespace

int32_t KeyRouter::DoWithRemote(const RemoteDefinition* record, int32_t keyfn) {
  if (record == nullptr) {
    Trace(" ## Remote==NULL \n");
    return 0;
  }
  if (!Splitting()) {
    Trace("- RemoteSplitting ist aus ! \n");
    return 0;
  }
  view_.ShowGroupHighlight({});
  int32_t done = 0;
  if (keyfn == kKeyMute) {
    MuteSound();
    done = 1;
  } else if (keyfn == kKeyEject) {
    links_.post([](ActionServices& services) { CloseFrontWindow(services); });
    done = 1;
  } else if (keyfn == kKeyMenu) {
    ChangeSplitting();
    done = 1;
  }
  if (Splitting()) {
    std::array<bool, 5> lit{};
    for (int group = 0; group < 5; ++group) lit[group] = group_remote_[group] == record;
    view_.ShowGroupHighlight(lit);
  }
  if (done != 0) {
    Trace(" ## MASTER-FUNC.. %ld\n", static_cast<long>(keyfn));
    return 1;
  }
  if (group_remote_[0] == record) Trace(" ## WorkspaceRemote but Func-REMOVED \n");
  const bool numeric = IsDigitKey(keyfn);
  if (group_remote_[1] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 41);
    if (done == 0) {
      if (IsArrowKey(keyfn) || keyfn == kKeyOk) {
        MoveMouse(keyfn, 18);
        done = 1;
      } else if (keyfn == kKeyPower) {
        DoWithApp(kKeyPower);
        done = 1;
      } else if (keyfn == kKeyTab) {
        links_.post([](ActionServices& services) { SwitchApplication(services, nullptr); });
        done = 1;
      }
    }
  }
  if (done == 0 && group_remote_[2] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 31);
    if (done == 0) {
      links_.post([keyfn](ActionServices& services) { IKeypress2App(services, keyfn); });
      if (keyfn == kKeyOk) {
        MoveMouse(keyfn, 0);
        done = 1;
      }
    }
  }
  if (done == 0 && group_remote_[3] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 21);
    if (done == 0) {
      links_.post([keyfn](ActionServices& services) { IAudioApps(services, keyfn); });
      done = 1;
    }
  }
  if (done == 0 && group_remote_[4] == record) {
    if (numeric) done = DoWithPresetList(keyfn - 11);
    if (done == 0) {
      links_.post([keyfn](ActionServices& services) { IVideoApps(services, keyfn); });
      done = 1;
    }
  }
  Trace(" ## DoWithRemote.. %ld \n", static_cast<long>(done));
  return done;
}

void KeyRouter::ReloadRemoteMenu(int32_t kind) {
  const bool teach = kind == 0;
  const int group = teach ? -1 : kind - 10;
  if (!teach && (group < 0 || group >= 5)) return;
  RemoteMenu menu;
  menu.kind = kind;
  menu.what = teach ? kTeachChooseRemote : kGroups[group].code;
  menu.first = teach ? getLabel(kLabelAddNew) : getLabel(kLabelUnset);
  menu.checkable = !teach;
  std::vector<std::string> items = {menu.first, ""};
  const char* setting = group >= 1 && settings_ ? GroupSetting(settings_, group) : nullptr;
  // By name, whatever order the folder gave: a list of dozens is read, not searched.
  std::vector<size_t> order;
  for (size_t position = 0; position < remote_list_.size(); ++position)
    if (remote_list_[position] != nullptr) order.push_back(position);
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    const std::string& x = remote_list_[a]->name_;
    const std::string& y = remote_list_[b]->name_;
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char p, char q) {
      return std::tolower(static_cast<unsigned char>(p)) <
             std::tolower(static_cast<unsigned char>(q));
    });
  });
  for (const size_t position : order) {
    const RemoteDefinition* record = remote_list_[position].get();
    menu.remotes.emplace_back(static_cast<int32_t>(position), record->name_);
    items.push_back(record->name_);
    if (setting != nullptr && record->name_ == setting) {
      group_remote_[group] = record;
      menu.marked = static_cast<int32_t>(position);
      Trace("%s", kGroups[group].found);
    }
  }
  if (!teach) group_items_[group] = std::move(items);
  view_.RebuildRemoteMenu(menu);
}

void KeyRouter::ResetRemSplit() {
  view_.SetText(RoutingText::kKey, "reload Remotes");
  for (const GroupInfo& group : kGroups) ReloadRemoteMenu(group.kind);
  view_.SetText(RoutingText::kKey, getLabel(kLabelDone));
}

void KeyRouter::StoreDefRemote(Message* message) {
  if (message->what == kSplittingToggled) ApplySplitting();
  int group = -1;
  for (int g = 0; g < 5; ++g) {
    if (message->what == kGroups[g].code) group = g;
  }
  if (group >= 1 && settings_ != nullptr) {
    const int32_t index = message->GetInt32("index", -1);
    const std::vector<std::string>& items = group_items_[group];
    if (index >= 0 && static_cast<size_t>(index) < items.size()) {
      const std::string& label = items[index];
      Trace("'%s' Remote for %s\n", label.c_str(), kGroups[group].name);
      Prefs::CopyText(GroupSetting(settings_, group), 80, label.c_str());
      group_remote_[group] = RemoteDefinition::FindRemote(&remote_list_, label);
    }
  }
  if (group >= 0 && message->GetBool(kFromMenuField, false)) {
    view_.DropMenuFocus(kGroups[group].kind);
  }
  SendToApp(kPresetLabelsChanged);
}

void KeyRouter::ApplySplitting() {
  const bool on = view_.SplitSwitch();
  if (settings_ != nullptr) settings_->use_splitting = on;
  view_.ShowSplitting(on);
}

void KeyRouter::ChangeSplitting() {
  view_.SetSplitSwitch(!view_.SplitSwitch());
  view_.SetMiniGroup(view_.SplitSwitch() ? getLabel(kLabelSplitting) : getLabel(kLabelDefault),
                     TextAlign::kCenter);
  ApplySplitting();
}

}  // namespace koru
