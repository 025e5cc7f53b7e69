// Key routing: from a receiver report to a key function, and on to a preset or an action.
// Actions are posted in key order; they run on the action thread.
#include "routing/key_router.h"
#include "remotes/remote_fields.h"

#include <QDateTime>
#include <QString>
#include <algorithm>
#include <optional>

#include "actions/actions.h"
#include "actions/desktop_pointer_view.h"
#include "media_list/media_list_messages.h"
#include "platform/files/paths.h"
#include "platform/launcher/launcher.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "presets/preset_messages.h"
#include "receiver/port_open_failure.h"
#include "receiver/receiver_messages.h"
#include "remotes/key_match.h"
#include "routing/routing_messages.h"
#include "settings/key_functions.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

namespace {

bool StartsWith(const std::string& text, std::string_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

std::string TimeText() {
  return QDateTime::currentDateTime().toString("| HH:mm:ss \n").toStdString();
}

// Group index (1 desktop .. 4 video) of a record, first in group order; 0 for none.
int GroupOf(const RemoteDefinition* const groups[5], const RemoteDefinition* record) {
  for (int group = 1; group < 5; ++group) {
    if (record != nullptr && groups[group] == record) return group;
  }
  return 0;
}

constexpr bigtime_t kNormalPulse = 250000;
constexpr bigtime_t kSlowPulse = 750000;

}  // namespace

KeyRouter::KeyRouter(Links links)
    : links_(std::move(links)), view_(*links_.view), settings_(links_.settings) {}

void KeyRouter::SendToApp(uint32_t what) {
  SendToApp(Message(what));
}

void KeyRouter::SendToApp(const Message& message) {
  if (links_.send) links_.send(message);
}

bool KeyRouter::Splitting() const {
  return settings_ != nullptr && settings_->use_splitting;
}

void KeyRouter::Start() {
  ReloadRemoteMenu(0);
  ResetRemSplit();
  // The group menus' "Done.." is no key: the key display starts as the window built it.
  view_.SetText(RoutingText::kKey, getLabel(kLabelUnknownRemote));
  view_.SetSplitSwitch(Splitting());
  ApplySplitting();
  ToggleHysteresis(true);
  ToggleContinuous(true);
  // Numeric keys run their presets from the start, not only after the editor was opened.
  SetPresetList(false, false);
  if (settings_ != nullptr && settings_->all_workspaces) view_.ShowOnAllWorkspaces(true);
}

void KeyRouter::HandleReport(const ReceiverReport& report) {
  const bool skip = skip_;
  skip_ = false;
  if (!skip) RouteReceiverReport(report);
}

void KeyRouter::HandleReceiverTurnedAway() {
  const bool skip = skip_;
  skip_ = false;
  if (!skip) NoPortReport();
}

void KeyRouter::RouteReceiverReport(const ReceiverReport& report) {
  const int32_t type = report.family;
  bool slowdown = report.slowdown;
  const CodeBytes& bytes = report.bytes;
  const std::optional<ExactCode>& exact = report.exact;
  // An exact code is a whole key even where the classic decoders found too few bits.
  if (bytes.length < 12 && !exact) slowdown = true;
  view_.SetPulseRate(slowdown ? kSlowPulse : kNormalPulse);
  if (links_.slowdown != nullptr) links_.slowdown->store(slowdown);

  if (slowdown) {
    view_.SetText(RoutingText::kCodec, getLabel(kLabelNoCodec));
    view_.SetText(RoutingText::kRemote, getLabel(kLabelPulse));
    view_.SetText(RoutingText::kKey, getLabel(kLabelCodeNotFound));
    if (QString::fromStdString(view_.LogText()).size() > 150) view_.SetLogText("--\n");
    view_.InsertLog(TimeText());
    return;
  }

  std::string line;
  int32_t keyfn = 0;
  int32_t header = 0, byte2 = 0, byte3 = 0;
  const bool classic = bytes.Classic();
  if (classic) {
    line = "Header: ";
    bytes.AppendByte(0, &line);
    bytes.AppendByte(1, &line);
    line += " | ";
    bytes.AppendByte(2, &line);
    line += " ";
    bytes.AppendByte(3, &line);
    line += " ";
    bytes.AppendByte(4, &line);
    header = bytes.Header();
    byte2 = bytes.Byte(2);
    byte3 = bytes.Byte(3);
  }
  recognised_ = nullptr;
  if (exact) {
    line += (classic ? "  " : "") + ExactReadable(*exact);
    keyfn = IsExactKey(*exact, classic, header, byte2, byte3);
  } else if (classic) {
    keyfn = IsDeviceKey(header, byte2, byte3);
  }
  if (recognised_ != nullptr && links_.keys != nullptr) {
    links_.keys->KeyRecognised(*recognised_, keyfn, report);
  }
  if (keyfn != 0 && settings_ != nullptr && settings_->use_systemsound) view_.Beep();
  if (hysteresis_) line += " (Hyst.)";
  // A code only the exact decoder knows is shown by its protocol.
  if (type == 0 && exact) {
    view_.SetText(RoutingText::kCodec, ExactProtocolName(exact->protocol));
  } else {
    view_.SetText(RoutingText::kCodec, getLabel(kLabelNoCodec + std::clamp(type, 0, 10)));
  }

  view_.InsertLog(" " + line + TimeText());
  // The log is bounded: past 400 characters its oldest 200 go, back to the end of a whole line.
  QString log = QString::fromStdString(view_.LogText());
  if (log.size() > 400) {
    log.chop(200);
    log.truncate(log.lastIndexOf('\n') + 1);
    view_.SetLogText((log + "\t..(Crunched)").toStdString());
  }
}

void KeyRouter::NoPortReport() {
  view_.ReceiverUnusable();
  std::string line =
      std::string(getLabel(kLabelNoPort)) + "\t\t" + (settings_ ? settings_->rs232_port : "");
  // Why the ports did not open, and what to do about it.
  if (const std::string why = RecentOpenFailures(); !why.empty()) line += "\n" + why;
  view_.InsertLog(line);
  AnyAlert(line, false);
}

int32_t KeyRouter::IsDeviceKey(int32_t header, int32_t byte2, int32_t byte3) {
  const KeyMatch match = MatchKey(remote_list_, header, byte2, byte3, hysteresis_);
  ShowMatch(match, std::to_string(match.key_value));
  if (teaching_) {
    Message taught(kTeachKeyHeard);
    TeachingRemote(&taught, header, match.key_value, byte2, byte3);
    return 0;
  }
  return RouteKey(match);
}

int32_t KeyRouter::IsExactKey(const ExactCode& code, bool classic, int32_t header, int32_t byte2,
                              int32_t byte3) {
  // A remote taught with classic codes is taught with the classic code of the same press.
  if (teaching_ && !teach_remote_->IsExact() && classic) return IsDeviceKey(header, byte2, byte3);
  KeyMatch match = MatchExactKey(remote_list_, code);
  if (!match.found && !teaching_ && classic) return IsDeviceKey(header, byte2, byte3);
  Trace(" ask Remote: exact=%s \n", ExactField(code).c_str());
  if (teaching_ && !match.found && classic) {
    // A key of a loaded classic remote is named as such, also while teaching.
    if (KeyMatch known = MatchKey(remote_list_, header, byte2, byte3, hysteresis_); known.found)
      match = known;
  }
  ShowMatch(match, ExactReadable(code));
  if (teaching_) {
    Message taught(kTeachKeyHeard);
    if (match.found && match.remote != nullptr && match.remote->name_ != teach_remote_->name_)
      taught.AddString("_known", match.remote->name_);
    TeachingRemote(&taught, header, 0, byte2, byte3, &code);
    return 0;
  }
  return RouteKey(match);
}

void KeyRouter::ShowMatch(const KeyMatch& match, const std::string& value) {
  view_.SetText(RoutingText::kRemote, match.remote_label);
  view_.SetText(RoutingText::kKey, match.key_label);
  if (match.shown_value) view_.SetText(RoutingText::kKeyValue, value);
  // What the user pressed, in words: the trace is the log of every recognised key.
  Trace(" => %s '%s'\n", match.remote_label.c_str(), match.key_label.c_str());
}

int32_t KeyRouter::RouteKey(const KeyMatch& match) {
  std::string remote_label = match.remote_label;
  std::string key_label = match.key_label;
  const int32_t keyfn = match.key_function;
  if (match.remote == nullptr) {
    remote_label = getLabel(kLabelPulse);
    key_label = getLabel(kLabelUnknownRemote);
    view_.SetText(RoutingText::kRemote, remote_label);
    view_.SetText(RoutingText::kKey, key_label);
  }
  view_.ShowPressedKey(keyfn >= kFirstKeyFunction ? keyfn : -1);

  const bool splitting = Splitting();
  // Without a match, match.remote is only the last record tried: it names no group, or a stray
  // code would act as a key of the first remote's group.
  const RemoteDefinition* matched = match.found ? match.remote : nullptr;
  if (keyfn >= kFirstKeyFunction) recognised_ = matched;
  const int group = splitting ? GroupOf(group_remote_, matched) : 0;
  Message key(kHighlightButton);
  key.AddInt32("vr_key", keyfn);
  key.AddBool("vr_splitt", splitting);
  AddKeyRemote(&key, match.remote);
  key.AddInt32("vr_target", group == 0 ? 54 : 49 + group);
  key.AddInt32("vr_dblNum", number_accumulator_);
  SendToApp(key);
  view_.SetText(RoutingText::kMiniKey, key_label);
  view_.SetText(RoutingText::kMiniRemote, remote_label);
  static const int kGroupLabels[5] = {119, 113, 114, 115, 116};
  view_.SetMiniGroup(getLabel(kGroupLabels[group]),
                     group == 0 ? TextAlign::kLeft : TextAlign::kRight);

  if (media_list_mode_) {
    view_.SetText(RoutingText::kStatusLine,
                  std::string(getLabel(kLabelLocked)) + getLabel(kLabelToplist));
    view_.ShowStatusLine();
    if (keyfn == kKeyPower) {
      SendToApp(kCloseMediaList);
      return keyfn;
    }
    const bool list_key = IsArrowKey(keyfn) || keyfn == kKeyOk || keyfn == kKeyExit ||
                          keyfn == kKeyEject || IsPlayerKey(keyfn);
    if (list_key) {
      Message select(kMediaListKey);
      select.AddInt32("korukey", keyfn);
      SendToApp(select);
      return keyfn;
    }
    if (keyfn != kKeyMute) return keyfn;
  }
  if (splitting) {
    if (matched != nullptr) DoWithRemote(matched, keyfn);
    return keyfn;
  }
  if (preset_list_ && IsDigitKey(keyfn)) {
    if (const int32_t done = DoWithPresetList(keyfn - 51); done != 0) return done;
  } else if (!preset_list_) {
    Trace(" NO PRESET-FILE \n");
  }
  GlobalKeys(keyfn);
  return keyfn;
}

void KeyRouter::MoveMouse(int32_t keyfn, int menu_offset) {
  const ViewPoint origin = view_.WindowCorner(menu_offset);
  StatusLabel* status = view_.StatusLine();
  links_.post([origin, keyfn, status](ActionServices& services) {
    DesktopPointerView view(services.desktop, origin);
    IMoveMouse(services, origin, keyfn, &view, status);
  });
}

void KeyRouter::MuteSound() {
  MuteIndicator* indicator = view_.MuteButton();
  links_.post([indicator](ActionServices& services) { IMuteSound(services, false, indicator); });
}

void KeyRouter::GlobalKeys(int32_t keyfn) {
  if (IsArrowKey(keyfn) || keyfn == kKeyOk) MoveMouse(keyfn, 20);
  if (keyfn == kKeyVolumeUp || keyfn == kKeyVolumeDown) {
    links_.post([keyfn](ActionServices& services) { IAltPlusMinus(services, keyfn); });
  }
  if (keyfn == kKeyMute) MuteSound();
  if (keyfn == kKeyPower) DoWithApp(kKeyPower);
  if (keyfn == kKeyTab) {
    auto info = app_info_;
    links_.post([info](ActionServices& services) { SwitchApplication(services, info.get()); });
  }
  if (keyfn == kKeyMenu) ChangeSplitting();
  if (keyfn == kKeyEject) links_.post([](ActionServices& services) { CloseFrontWindow(services); });
  if (keyfn == kKeyFavourite) {
    // "FAV" opens the media list as "File" > "Open" does: the remote's keys go to the list.
    Message open(kOpenMediaList);
    HandleMessage(&open);
  }
}

void KeyRouter::DoWithApp(int32_t keyfn) {
  if (keyfn != kKeyPower && keyfn != kKeyEject) return;
  view_.ToggleMinimised();
}

int32_t KeyRouter::DoWithPresetList(int32_t index) {
  if (!preset_list_) {
    Trace(" NON");
    Trace(" PRESET END\n");
    return 0;
  }
  if (index < 0 || index >= 50) {
    Trace(" PRESET END\n");
    return 0;
  }
  const std::string entry = (*preset_list_)[index];
  if (entry.empty()) return 0;
  Trace("\n PRESET [%ld|%ld] \n", static_cast<long>(index), static_cast<long>(index) + 51);
  const int32_t keyfn = index + 51;
  if (StartsWith(entry, getLabel(kLabelWorkspace))) {
    links_.post([keyfn](ActionServices& services) { IJumpWorkSpace(services, keyfn); });
    return keyfn;
  }
  // "http" covers https; the browser or file manager opens ftp as well.
  if (StartsWith(entry, "http") || StartsWith(entry, "ftp:") || StartsWith(entry, "file:/")) {
    links_.post([entry](ActionServices& services) { IOpenThisUrl(services, entry, false); });
    return keyfn;
  }
  // "/boot/..." is a stored path; any other absolute path is a Linux path.
  if (StartsWith(entry, "/")) {
    links_.post([entry](ActionServices& services) { IOpenThisFile(services, entry, true); });
    return keyfn;
  }
  Trace(" PRESET END\n");
  return 0;
}

void KeyRouter::ToggleHysteresis(bool show_only) {
  if (!show_only) hysteresis_ = !hysteresis_;
  view_.ShowHysteresis(hysteresis_);
}

void KeyRouter::ToggleContinuous(bool show_only) {
  if (!show_only) view_.SetReceiverContinuous(!view_.ReceiverContinuous());
  view_.ShowContinuous(view_.ReceiverContinuous());
}

void KeyRouter::ChangeWorkspaceMode() {
  if (settings_ == nullptr) return;
  settings_->all_workspaces = !settings_->all_workspaces;
  view_.ShowOnAllWorkspaces(settings_->all_workspaces);
}

void KeyRouter::SetPresetList(bool reload, bool edit) {
  const std::string name = settings_ ? settings_->Presetfile : "_preset_";
  const std::filesystem::path path = links_.remote_folder / name;
  if (edit) SendToApp(kOpenPresetEditor);
  if (reload) preset_list_.reset();
  // Every read starts from an empty list, so a binding removed from the file goes; a file that
  // cannot be read leaves the list as it was.
  auto read = std::make_unique<PresetList>(NewPresetList());
  if (ReadPresetFile(path, read.get()) < 0) {
    Trace(" '%s' Missing !\n", name.c_str());
    if (reload) AnyAlert("missing:  '" + name + "'\n", false);
    if (!preset_list_) preset_list_ = std::make_unique<PresetList>(NewPresetList());
  } else {
    preset_list_ = std::move(read);
  }
  view_.SetLogText(std::string(getLabel(kLabelPresetReload)) + ": '" + name + "'\n");
  view_.SetText(RoutingText::kSplitTitle,
                std::string(getLabel(kLabelSplitting)) + " '" + name + "' ");
}

bool KeyRouter::HandleMessage(Message* message) {
  const bool skip = skip_;
  if (message->what != kSkipNextReport) skip_ = false;
  switch (message->what) {
    case kSkipNextReport:
      skip_ = true;
      return true;
    case kTeachKeyHeard:
    case kTeachStart:
      if (!skip) TeachingRemote(message, 0, 0, 0, 0);
      return true;
    case kTeachDoubleByteToggled:
    case kTeachClassicToggled:
    case kTeachAssignKey:
    case kTeachDone:
    case kTeachClearKey:
    case kTeachHeaderEdited:
    case kTeachNameEdited:
    case kTeachChooseRemote:
      TeachingRemote(message, 0, 0, 0, 0);
      return true;
    case kSplittingToggled:
    case kChooseWorkspaceRemote:
    case kChooseDesktopRemote:
    case kChooseAppsRemote:
    case kChooseAudioRemote:
    case kChooseVideoRemote:
      StoreDefRemote(message);
      return true;
    case kMuteSound:
      MuteSound();
      return true;
    case kHysteresisToggled:
      ToggleHysteresis(false);
      return true;
    case kContinueToggled:
      ToggleContinuous(false);
      return true;
    case kAllWorkspacesToggled:
      ChangeWorkspaceMode();
      return true;
    case kReloadPresets:
      SetPresetList(true, false);
      return true;
    case kEditPresets:
      SetPresetList(false, true);
      return true;
    case kClearShownKey:
      view_.SetText(RoutingText::kKey, "  ");
      view_.SetText(RoutingText::kMiniKey, "  ");
      number_accumulator_ = 0;
      return true;
    case kOpenMediaList:
      SendToApp(*message);
      media_list_mode_ = true;
      return true;
    case kCloseMediaList:
      SendToApp(*message);
      media_list_mode_ = false;
      return true;
    case kMediaListClosed:
      media_list_mode_ = false;
      view_.SetText(RoutingText::kStatusLine, " ");
      return true;
    case kToggleMediaTab:
      view_.MarkShowTab(settings_ && settings_->window_mtab);
      SendToApp(*message);
      return true;
    case kEditMediaListFile: {
      const std::string list = "/boot/home/_koru_media_list";
      Trace("[open][%s]\n", list.c_str());
      links_.post([list](ActionServices& services) {
        if (services.launcher == nullptr ||
            services.launcher->OpenWithPreferredApp(MapStoredPath(list)) != kOk) {
          Trace(" oops: couldn't execute \n");
        }
      });
      return true;
    }
    case kOpenVirtualRemote:
      SendToApp(*message);
      return true;
    case kWriteCodeChart:
      WriteCodeChart();
      return true;
    default:
      return false;
  }
}

}  // namespace koru
