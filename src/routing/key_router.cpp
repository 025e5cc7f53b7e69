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
    : fLinks(std::move(links)), fView(*fLinks.view), fSettings(fLinks.settings) {}

void KeyRouter::SendToApp(uint32_t what) {
  SendToApp(Message(what));
}

void KeyRouter::SendToApp(const Message& message) {
  if (fLinks.send) fLinks.send(message);
}

bool KeyRouter::Splitting() const {
  return fSettings != nullptr && fSettings->use_splitting;
}

void KeyRouter::Start() {
  ReloadRemoteMenu(0);
  ResetRemSplit();
  // The group menus' "Done.." is no key: the key display starts as the window built it.
  fView.SetText(RoutingText::kKey, getLabel(kLabelUnknownRemote));
  fView.SetSplitSwitch(Splitting());
  ApplySplitting();
  ToggleHysteresis(true);
  ToggleContinuous(true);
  // Numeric keys run their presets from the start, not only after the editor was opened.
  SetPresetList(false, false);
  if (fSettings != nullptr && fSettings->all_workspaces) fView.ShowOnAllWorkspaces(true);
}

void KeyRouter::HandleReport(const ReceiverReport& report) {
  const bool skip = fSkip;
  fSkip = false;
  if (!skip) RouteReceiverReport(report);
}

void KeyRouter::HandleReceiverTurnedAway() {
  const bool skip = fSkip;
  fSkip = false;
  if (!skip) NoPortReport();
}

void KeyRouter::RouteReceiverReport(const ReceiverReport& report) {
  const int32_t type = report.family;
  bool slowdown = report.slowdown;
  const CodeBytes& bytes = report.bytes;
  const std::optional<ExactCode>& exact = report.exact;
  // An exact code is a whole key even where the classic decoders found too few bits.
  if (bytes.length < 12 && !exact) slowdown = true;
  fView.SetPulseRate(slowdown ? kSlowPulse : kNormalPulse);
  if (fLinks.slowdown != nullptr) fLinks.slowdown->store(slowdown);

  if (slowdown) {
    fView.SetText(RoutingText::kCodec, getLabel(kLabelNoCodec));
    fView.SetText(RoutingText::kRemote, getLabel(kLabelPulse));
    fView.SetText(RoutingText::kKey, getLabel(kLabelCodeNotFound));
    if (QString::fromStdString(fView.LogText()).size() > 150) fView.SetLogText("--\n");
    fView.InsertLog(TimeText());
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
  fRecognised = nullptr;
  if (exact) {
    line += (classic ? "  " : "") + ExactReadable(*exact);
    keyfn = IsExactKey(*exact, classic, header, byte2, byte3);
  } else if (classic) {
    keyfn = IsDeviceKey(header, byte2, byte3);
  }
  if (fRecognised != nullptr && fLinks.keys != nullptr) {
    fLinks.keys->KeyRecognised(*fRecognised, keyfn, report);
  }
  if (keyfn != 0 && fSettings != nullptr && fSettings->use_systemsound) fView.Beep();
  if (fHysteresis) line += " (Hyst.)";
  // A code only the exact decoder knows is shown by its protocol.
  if (type == 0 && exact) {
    fView.SetText(RoutingText::kCodec, ExactProtocolName(exact->protocol));
  } else {
    fView.SetText(RoutingText::kCodec, getLabel(20 + std::clamp(type, 0, 10)));
  }

  fView.InsertLog(" " + line + TimeText());
  // The log is bounded: past 400 characters its oldest 200 go, back to the end of a whole line.
  QString log = QString::fromStdString(fView.LogText());
  if (log.size() > 400) {
    log.chop(200);
    log.truncate(log.lastIndexOf('\n') + 1);
    fView.SetLogText((log + "\t..(Crunched)").toStdString());
  }
}

void KeyRouter::NoPortReport() {
  fView.ReceiverUnusable();
  std::string line =
      std::string(getLabel(kLabelNoPort)) + "\t\t" + (fSettings ? fSettings->rs232_port : "");
  // Why the ports did not open, and what to do about it.
  if (const std::string why = RecentOpenFailures(); !why.empty()) line += "\n" + why;
  fView.InsertLog(line);
  AnyAlert(line, false);
}

int32_t KeyRouter::IsDeviceKey(int32_t header, int32_t byte2, int32_t byte3) {
  const KeyMatch match = MatchKey(fRemoteList, header, byte2, byte3, fHysteresis);
  ShowMatch(match, std::to_string(match.key_value));
  if (fTeaching) {
    Message taught(kTeachKeyHeard);
    TeachingRemote(&taught, header, match.key_value, byte2, byte3);
    return 0;
  }
  return RouteKey(match);
}

int32_t KeyRouter::IsExactKey(const ExactCode& code, bool classic, int32_t header, int32_t byte2,
                              int32_t byte3) {
  // A remote taught with classic codes is taught with the classic code of the same press.
  if (fTeaching && !fTeachRemote->IsExact() && classic) return IsDeviceKey(header, byte2, byte3);
  KeyMatch match = MatchExactKey(fRemoteList, code);
  if (!match.found && !fTeaching && classic) return IsDeviceKey(header, byte2, byte3);
  Trace(" ask Remote: exact=%s \n", ExactField(code).c_str());
  if (fTeaching && !match.found && classic) {
    // A key of a loaded classic remote is named as such, also while teaching.
    if (KeyMatch known = MatchKey(fRemoteList, header, byte2, byte3, fHysteresis); known.found)
      match = known;
  }
  ShowMatch(match, ExactReadable(code));
  if (fTeaching) {
    Message taught(kTeachKeyHeard);
    if (match.found && match.remote != nullptr && match.remote->fName != fTeachRemote->fName)
      taught.AddString("_known", match.remote->fName);
    TeachingRemote(&taught, header, 0, byte2, byte3, &code);
    return 0;
  }
  return RouteKey(match);
}

void KeyRouter::ShowMatch(const KeyMatch& match, const std::string& value) {
  fView.SetText(RoutingText::kRemote, match.remote_label);
  fView.SetText(RoutingText::kKey, match.key_label);
  if (match.shown_value) fView.SetText(RoutingText::kKeyValue, value);
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
    fView.SetText(RoutingText::kRemote, remote_label);
    fView.SetText(RoutingText::kKey, key_label);
  }
  fView.ShowPressedKey(keyfn >= kFirstKeyFunction ? keyfn : -1);

  const bool splitting = Splitting();
  // Without a match, match.remote is only the last record tried: it names no group, or a stray
  // code would act as a key of the first remote's group.
  const RemoteDefinition* matched = match.found ? match.remote : nullptr;
  if (keyfn >= kFirstKeyFunction) fRecognised = matched;
  const int group = splitting ? GroupOf(fGroupRemote, matched) : 0;
  Message key(kHighlightButton);
  key.AddInt32("vr_key", keyfn);
  key.AddBool("vr_splitt", splitting);
  AddKeyRemote(&key, match.remote);
  key.AddInt32("vr_target", group == 0 ? 54 : 49 + group);
  key.AddInt32("vr_dblNum", fNumberAccumulator);
  SendToApp(key);
  fView.SetText(RoutingText::kMiniKey, key_label);
  fView.SetText(RoutingText::kMiniRemote, remote_label);
  static const int kGroupLabels[5] = {119, 113, 114, 115, 116};
  fView.SetMiniGroup(getLabel(kGroupLabels[group]),
                     group == 0 ? TextAlign::kLeft : TextAlign::kRight);

  if (fMediaListMode) {
    fView.SetText(RoutingText::kStatusLine,
                  std::string(getLabel(kLabelLocked)) + getLabel(kLabelToplist));
    fView.ShowStatusLine();
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
  if (fPresetList && IsDigitKey(keyfn)) {
    if (const int32_t done = DoWithPresetList(keyfn - 51); done != 0) return done;
  } else if (!fPresetList) {
    Trace(" NO PRESET-FILE \n");
  }
  GlobalKeys(keyfn);
  return keyfn;
}

void KeyRouter::MoveMouse(int32_t keyfn, int menu_offset) {
  const ViewPoint origin = fView.WindowCorner(menu_offset);
  StatusLabel* status = fView.StatusLine();
  fLinks.post([origin, keyfn, status](ActionServices& services) {
    DesktopPointerView view(services.desktop, origin);
    IMoveMouse(services, origin, keyfn, &view, status);
  });
}

void KeyRouter::MuteSound() {
  MuteIndicator* indicator = fView.MuteButton();
  fLinks.post([indicator](ActionServices& services) { IMuteSound(services, false, indicator); });
}

void KeyRouter::GlobalKeys(int32_t keyfn) {
  if (IsArrowKey(keyfn) || keyfn == kKeyOk) MoveMouse(keyfn, 20);
  if (keyfn == kKeyVolumeUp || keyfn == kKeyVolumeDown) {
    fLinks.post([keyfn](ActionServices& services) { IAltPlusMinus(services, keyfn); });
  }
  if (keyfn == kKeyMute) MuteSound();
  if (keyfn == kKeyPower) DoWithApp(kKeyPower);
  if (keyfn == kKeyTab) {
    auto info = fAppInfo;
    fLinks.post([info](ActionServices& services) { SwitchApplication(services, info.get()); });
  }
  if (keyfn == kKeyMenu) ChangeSplitting();
  if (keyfn == kKeyEject) fLinks.post([](ActionServices& services) { CloseFrontWindow(services); });
  if (keyfn == kKeyFavourite) {
    // "FAV" opens the media list as "File" > "Open" does: the remote's keys go to the list.
    Message open(kOpenMediaList);
    HandleMessage(&open);
  }
}

void KeyRouter::DoWithApp(int32_t keyfn) {
  if (keyfn != kKeyPower && keyfn != kKeyEject) return;
  fView.ToggleMinimised();
}

int32_t KeyRouter::DoWithPresetList(int32_t index) {
  if (!fPresetList) {
    Trace(" NON");
    Trace(" PRESET END\n");
    return 0;
  }
  if (index < 0 || index >= 50) {
    Trace(" PRESET END\n");
    return 0;
  }
  const std::string entry = (*fPresetList)[index];
  if (entry.empty()) return 0;
  Trace("\n PRESET [%ld|%ld] \n", static_cast<long>(index), static_cast<long>(index) + 51);
  const int32_t keyfn = index + 51;
  if (StartsWith(entry, getLabel(kLabelWorkspace))) {
    fLinks.post([keyfn](ActionServices& services) { IJumpWorkSpace(services, keyfn); });
    return keyfn;
  }
  // "http" covers https; the browser or file manager opens ftp as well.
  if (StartsWith(entry, "http") || StartsWith(entry, "ftp:") || StartsWith(entry, "file:/")) {
    fLinks.post([entry](ActionServices& services) { IOpenThisUrl(services, entry, false); });
    return keyfn;
  }
  // "/boot/..." is a stored path; any other absolute path is a Linux path.
  if (StartsWith(entry, "/")) {
    fLinks.post([entry](ActionServices& services) { IOpenThisFile(services, entry, true); });
    return keyfn;
  }
  Trace(" PRESET END\n");
  return 0;
}

void KeyRouter::ToggleHysteresis(bool show_only) {
  if (!show_only) fHysteresis = !fHysteresis;
  fView.ShowHysteresis(fHysteresis);
}

void KeyRouter::ToggleContinuous(bool show_only) {
  if (!show_only) fView.SetReceiverContinuous(!fView.ReceiverContinuous());
  fView.ShowContinuous(fView.ReceiverContinuous());
}

void KeyRouter::ChangeWorkspaceMode() {
  if (fSettings == nullptr) return;
  fSettings->all_workspaces = !fSettings->all_workspaces;
  fView.ShowOnAllWorkspaces(fSettings->all_workspaces);
}

void KeyRouter::SetPresetList(bool reload, bool edit) {
  const std::string name = fSettings ? fSettings->Presetfile : "_preset_";
  const std::filesystem::path path = RemoteDefinition::Folder() / name;
  if (edit) SendToApp(kOpenPresetEditor);
  if (reload) fPresetList.reset();
  // Every read starts from an empty list, so a binding removed from the file goes; a file that
  // cannot be read leaves the list as it was.
  auto read = std::make_unique<PresetList>(NewPresetList());
  if (ReadPresetFile(path, read.get()) < 0) {
    Trace(" '%s' Missing !\n", name.c_str());
    if (reload) AnyAlert("missing:  '" + name + "'\n", false);
    if (!fPresetList) fPresetList = std::make_unique<PresetList>(NewPresetList());
  } else {
    fPresetList = std::move(read);
  }
  fView.SetLogText(std::string(getLabel(kLabelPresetReload)) + ": '" + name + "'\n");
  fView.SetText(RoutingText::kSplitTitle,
                std::string(getLabel(kLabelSplitting)) + " '" + name + "' ");
}

bool KeyRouter::HandleMessage(Message* message) {
  const bool skip = fSkip;
  if (message->what != kSkipNextReport) fSkip = false;
  switch (message->what) {
    case kSkipNextReport:
      fSkip = true;
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
      fView.SetText(RoutingText::kKey, "  ");
      fView.SetText(RoutingText::kMiniKey, "  ");
      fNumberAccumulator = 0;
      return true;
    case kOpenMediaList:
      SendToApp(*message);
      fMediaListMode = true;
      return true;
    case kCloseMediaList:
      SendToApp(*message);
      fMediaListMode = false;
      return true;
    case kMediaListClosed:
      fMediaListMode = false;
      fView.SetText(RoutingText::kStatusLine, " ");
      return true;
    case kToggleMediaTab:
      fView.MarkShowTab(fSettings && fSettings->window_mtab);
      SendToApp(*message);
      return true;
    case kEditMediaListFile: {
      const std::string list = "/boot/home/_koru_media_list";
      Trace("[open][%s]\n", list.c_str());
      fLinks.post([list](ActionServices& services) {
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
