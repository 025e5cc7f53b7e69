#include "lirc/lirc_import.h"

#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "lirc/lirc_key_names.h"
#include "lirc/lirc_signal.h"
#include "lirc/shown_text.h"
#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "platform/files/safe_file.h"
#include "platform/lines/mode2_recording.h"
#include "platform/messaging/trace.h"
#include "receiver/code_bytes.h"
#include "receiver/replay_session.h"
#include "remotes/remote_definition.h"
#include "settings/label_table.h"

namespace koru {

namespace {

constexpr size_t kMaxRemoteName = 78;

// One key on its way into the file.
struct Key {
  std::string button;
  int32_t key_function = 0;
  LircReceived received;
};

// A remote name that can be a file in the remote folder: no '/', no control characters (they
// would reach terminals through file listings), not hidden, none of KORU's fixed names nor the
// names the teach-in keeps for itself, and not longer than a remote name, cut between
// characters.
std::string FileNameFor(const std::string& lirc_name) {
  std::string name(CutUtf8(lirc_name, kMaxRemoteName));
  for (char& c : name)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '_';
  name = ShownSafely(name);
  if (!name.empty() && name.front() == '.') name.front() = '_';
  if (!IsSafeFileName(name) || name == "-noname-" || name == "newRemote")
    name = std::string(CutUtf8(name, kMaxRemoteName - 5)) + "_lirc";
  return name;
}

std::string Label(int32_t key_function) {
  return eLabel[key_function];
}

// The command value a classic remote of this mode would hold for the code text.
int32_t ClassicValue(const std::string& text, bool two_byte) {
  const int32_t byte2 = CodeByteValue(text, 2);
  return two_byte ? byte2 * 1000 + CodeByteValue(text, 3) : byte2;
}

int32_t ClassicHeader(const std::string& text) {
  return CodeByteValue(text, 0) * 1000 + CodeByteValue(text, 1);
}

// The classic mode (2 or 23) that tells every key apart under one header; 0 and `why` when
// none does.
int32_t ClassicMode(const std::vector<Key>& keys, std::string* why) {
  for (const Key& key : keys)
    if (StripCodeSeparators(key.received.code_text).size() <= 12) {
      *why = "the classic code of " + key.button + " is too short to be matched";
      return 0;
    }
  const int32_t header = ClassicHeader(keys.front().received.code_text);
  for (const Key& key : keys)
    if (ClassicHeader(key.received.code_text) != header) {
      *why = "the keys have different classic headers";
      return 0;
    }
  for (const bool two_byte : {false, true}) {
    std::set<int32_t> values;
    bool distinct = true;
    for (const Key& key : keys) {
      const int32_t value = ClassicValue(key.received.code_text, two_byte);
      distinct = distinct && value != 0 && values.insert(value).second;
    }
    if (distinct) return two_byte ? 23 : 2;
  }
  *why = "two keys have one classic code";
  return 0;
}

// The protocol and address most keys share (the first such among equals).
ExactCode HeadOf(const std::vector<Key>& keys) {
  std::map<std::pair<int32_t, uint32_t>, int32_t> counts;
  for (const Key& key : keys)
    ++counts[{static_cast<int32_t>(key.received.exact->protocol), key.received.exact->address}];
  ExactCode head = *keys.front().received.exact;
  int32_t best = 0;
  for (const Key& key : keys) {
    const int32_t count =
        counts[{static_cast<int32_t>(key.received.exact->protocol), key.received.exact->address}];
    if (count > best) {
      best = count;
      head = *key.received.exact;
    }
  }
  return head;
}

// The receiver's codes for one press of the button (with the toggle state of the press).
std::optional<LircReceived> Receive(const LircRemote& remote, const LircButton& button,
                                    int32_t earlier_presses, std::string* why) {
  std::vector<int32_t> periods;
  if (LircButtonSignal(remote, button, remote.min_repeat, &periods, why, earlier_presses) != kOk)
    return std::nullopt;
  std::optional<LircReceived> received = ReceiveLircSignal(periods);
  if (!received)
    *why = "the receiver reported nothing";
  else if (!received->exact)
    *why = "the receiver found no code";
  if (!received || !received->exact) return std::nullopt;
  return received;
}

bool HasToggle(const LircRemote& remote) {
  return remote.toggle_bit > 0 || remote.toggle_bit_mask != 0;
}

ImportedRemote FromLirc(const LircRemote& remote) {
  ImportedRemote imported;
  imported.name = remote.name;
  imported.problem = LircSignalProblem(remote);
  for (const LircButton& button : remote.buttons) imported.buttons.push_back(button.name);
  imported.toggles = HasToggle(remote);
  imported.receive = [&remote](size_t index, int32_t earlier_presses, std::string* why) {
    return Receive(remote, remote.buttons[index], earlier_presses, why);
  };
  return imported;
}

LircImportReport ImportOne(const ImportedRemote& remote, const LircImportOptions& options,
                           std::set<std::string>* written) {
  LircImportReport report;
  report.remote = remote.name;
  if (!remote.problem.empty()) {
    report.refused = remote.problem;
    return report;
  }
  const std::string name = FileNameFor(remote.name);
  if (written->count(name)) {
    report.refused = "a remote named '" + name + "' was imported before from these files";
    return report;
  }

  std::vector<Key> keys;
  std::map<int32_t, std::string> by_function;
  for (size_t index = 0; index < remote.buttons.size(); ++index) {
    const std::string& button_name = remote.buttons[index];
    const int32_t key_function = KeyFunctionOfLircName(button_name);
    if (key_function == 0) {
      report.without_function.push_back(button_name);
      continue;
    }
    if (by_function.count(key_function)) {
      const std::string& first = by_function[key_function];
      report.taken.push_back(button_name + " (" + Label(key_function) + " of " +
                             (first == button_name ? "the first " + first : first) + ")");
      continue;
    }
    std::string why;
    std::optional<LircReceived> received = remote.receive(index, 0, &why);
    if (!received) {
      report.undecoded.push_back(button_name + ": " + why);
      continue;
    }
    const Key* same = nullptr;
    for (const Key& key : keys)
      if (key.received.exact->SameKey(*received->exact)) same = &key;
    if (same) {
      report.collisions.push_back(button_name + " (code of " + same->button + ")");
      continue;
    }
    // A toggle bit the decoder keeps in the code would let only every other press through.
    if (remote.toggles) {
      std::string ignored;
      const std::optional<LircReceived> next = remote.receive(index, 1, &ignored);
      if (next && !next->exact->SameKey(*received->exact)) report.toggling.push_back(button_name);
    }
    by_function[key_function] = button_name;
    keys.push_back({button_name, key_function, *received});
  }
  if (keys.empty()) {
    report.refused = "no key of the remote has a KORU key function and a code KORU decodes";
    return report;
  }

  std::error_code error;
  const std::filesystem::path path = options.folder / name;
  if (std::filesystem::exists(std::filesystem::symlink_status(path, error))) {
    FileNode node(path);
    if (ReadKoruType(node) != kKoruRemoteFile) {
      report.refused = "'" + name + "' in the remote folder is no remote file";
      return report;
    }
    if (!options.replace) {
      report.refused = "a remote named '" + name + "' exists already";
      return report;
    }
  }

  RemoteDefinition record(options.folder);
  record.name_ = name;
  int32_t mode = 0;
  if (options.classic) {
    mode = ClassicMode(keys, &report.classic_note);
    if (mode == 0) report.classic_note = "no classic file: " + report.classic_note;
  }
  if (mode != 0) {
    record.header_ = ClassicHeader(keys.front().received.code_text);
    record.mode_ = mode;
    for (const Key& key : keys)
      record.SetSlot(SlotOf(key.key_function), ClassicValue(key.received.code_text, mode == 23));
    report.classic = true;
  } else {
    record.SetExactHead(HeadOf(keys));
    for (const Key& key : keys) record.SetExactKey(key.key_function, *key.received.exact);
  }
  const status_t status = record.RemoteSave();
  if (status != kOk) {
    report.refused = "the remote file '" + name + "' could not be written: " + StatusText(status);
    return report;
  }
  written->insert(name);
  report.file = name;
  for (const Key& key : keys)
    report.imported.push_back(key.button + " " + Label(key.key_function) + " " +
                              (report.classic
                                   ? std::to_string(record.Slot(SlotOf(key.key_function)))
                                   : ExactField(*key.received.exact)));
  return report;
}

void AppendList(std::string* text, const char* title, const std::vector<std::string>& items) {
  if (items.empty()) return;
  *text += "  " + std::string(title) + " (" + std::to_string(items.size()) + "):";
  for (const std::string& item : items) *text += " " + item + ",";
  text->back() = '\n';
}

}  // namespace

std::optional<LircReceived> ReceiveLircSignal(const std::vector<int32_t>& periods) {
  Mode2Recording recording;
  for (size_t i = 0; i < periods.size(); ++i)
    AppendMode2(&recording, i % 2 == 0, static_cast<uint64_t>(periods[i]));
  std::optional<LircReceived> received;
  ReplayThroughReceiver(recording, [&](bigtime_t, const ReceiverReport& report) {
    // The first report of a code; a no-code report counts when it has an exact code.
    if (received || (report.family == 0 && !report.exact)) return;
    received = LircReceived{report.family == 0 ? "" : report.code, report.exact};
  });
  return received;
}

std::vector<LircImportReport> ImportRemotes(const std::vector<ImportedRemote>& remotes,
                                            const LircImportOptions& options, const char* kind) {
  std::vector<LircImportReport> reports;
  std::set<std::string> written;
  for (const ImportedRemote& remote : remotes) {
    reports.push_back(ImportOne(remote, options, &written));
    const LircImportReport& report = reports.back();
    if (report.file.empty())
      Trace("%s '%s': %s\n", kind, remote.name.c_str(), report.refused.c_str());
    else
      Trace("%s '%s': %zu keys into '%s'\n", kind, remote.name.c_str(), report.imported.size(),
            report.file.c_str());
  }
  return reports;
}

std::vector<LircImportReport> ImportLircRemotes(const std::vector<LircRemote>& remotes,
                                                const LircImportOptions& options) {
  std::vector<ImportedRemote> imported;
  for (const LircRemote& remote : remotes) imported.push_back(FromLirc(remote));
  return ImportRemotes(imported, options, "LIRC import");
}

std::string LircImportText(const LircImportReport& report) {
  std::string text = report.remote + ": ";
  if (report.file.empty()) {
    text += "not imported, " + report.refused + "\n";
  } else {
    text += std::to_string(report.imported.size()) + " keys imported into '" + report.file + "' (" +
            (report.classic ? "classic" : "exact") + " codes)\n";
  }
  if (!report.classic_note.empty()) text += "  " + report.classic_note + "\n";
  AppendList(&text, "no KORU key function", report.without_function);
  AppendList(&text, "key function taken by another button", report.taken);
  AppendList(&text, "same code as another key", report.collisions);
  AppendList(&text, "not decoded", report.undecoded);
  AppendList(&text, "code changes from press to press, every other press is missed",
             report.toggling);
  return ShownSafely(text);
}

}  // namespace koru
