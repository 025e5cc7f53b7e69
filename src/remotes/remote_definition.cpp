#include "remotes/remote_definition.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/files/koru_type.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"
#include "remotes/exact_remote_text.h"
#include "settings/label_table.h"

namespace koru {

namespace {

constexpr size_t kMaxNameLength = 78;
constexpr size_t kMaxRemInfo = 128;

// A decimal number as strtol reads it, clamped into 32 bits.
int32_t ParseInt32(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

// True when `tag` occurs in `line` and its first occurrence starts at position 1.
bool TagAtOne(const std::string& line, const char* tag) {
  return line.find(tag) == 1;
}

}  // namespace

RemoteDefinition::RemoteDefinition(std::filesystem::path folder)
    : name_("-noname-"), folder_(std::move(folder)) {}

RemoteDefinition::~RemoteDefinition() = default;

void TraceRemoteFolder(const std::filesystem::path& folder) {
  Trace("\n Remote-Folder: %s\n", folder.c_str());
}

void RemoteDefinition::CopyFrom(const RemoteDefinition& other) {
  name_ = other.name_;
  header_ = other.header_;
  mode_ = other.mode_;
  kind_ = other.kind_;
  std::memcpy(key_, other.key_, sizeof key_);
  exact_head_ = other.exact_head_;
  exact_key_ = other.exact_key_;
}

void RemoteDefinition::ClearKeys() {
  for (int32_t k = 1; k <= kKeySlots; ++k) key_[k] = 0;
  exact_key_.fill(std::nullopt);
}

void RemoteDefinition::SetExactHead(const ExactCode& head) {
  exact_head_ = head;
  exact_head_.command = 0;
  exact_head_.bits = 0;
  mode_ = kExactMode;
  header_ = kNoClassicHeader;
  for (int32_t k = 1; k <= kKeySlots; ++k) key_[k] = 0;
}

void RemoteDefinition::SetExactKey(int32_t key_function, const ExactCode& code) {
  if (key_function < kFirstKeyFunction || key_function >= kLastKeyFunction) return;
  exact_key_[SlotOf(key_function)] = code;
}

void RemoteDefinition::ClearExactKey(int32_t key_function) {
  if (key_function < kFirstKeyFunction || key_function >= kLastKeyFunction) return;
  exact_key_[SlotOf(key_function)].reset();
}

std::optional<ExactCode> RemoteDefinition::ExactKey(int32_t key_function) const {
  if (key_function < kFirstKeyFunction || key_function >= kLastKeyFunction) return std::nullopt;
  return exact_key_[SlotOf(key_function)];
}

int32_t RemoteDefinition::ExactFunction(const ExactCode& code) const {
  for (int32_t k = 1; k < kKeySlots; ++k)
    if (exact_key_[k] && exact_key_[k]->SameKey(code)) return KeyFunctionOfSlot(k);
  return kNoKeyFunction;
}

bool RemoteDefinition::IsReduced(int32_t n) {
  return (n >= 51 && n <= 71) || n == 75 || n == 81 || n == 83 || n == 84 || n == 91 ||
         (n >= 93 && n <= 97);
}

int32_t RemoteDefinition::KeyFunctionOfCode(int32_t code) const {
  if (code < 1 || code > 256255) {
    Trace("-OutOfRange-");
    return kNoKeyFunction;
  }
  for (int32_t k = 1; k <= kKeySlots; ++k)
    if (key_[k] == code) return KeyFunctionOfSlot(k);
  return kNoKeyFunction;
}

RemoteDefinition* RemoteDefinition::FindRemote(const RemoteList* list, const std::string& name) {
  if (!list) return nullptr;
  for (auto it = list->rbegin(); it != list->rend(); ++it)
    if (*it && (*it)->name_ == name) return it->get();
  return nullptr;
}

void RemoteDefinition::RemoteLoad(const std::string& name) {
  // A name that would leave the folder names no remote file of ours.
  std::ifstream file;
  if (!folder_.empty() && IsPlainFileName(name)) file.open(folder_ / name, std::ios::binary);
  if (!file.is_open()) {
    name_ = name;
    ClearKeys();
    Trace(" '%s' Missing !\n", (folder_ / name).c_str());
    return;
  }
  std::ostringstream text;
  text << file.rdbuf();
  RemoteLoadText(name, text.str());
}

void RemoteDefinition::RemoteLoadText(const std::string& name, std::string_view text) {
  name_ = name;
  ClearKeys();
  std::string head_text;
  std::string data_text;
  std::string stored;
  std::string line;
  // Whole lines, each with its line end (the last one without, when the text has none): an
  // exact remote's data line can be longer than any fixed buffer.
  for (size_t start = 0; start < text.size();) {
    const size_t end = text.find('\n', start);
    const size_t next = end == std::string_view::npos ? text.size() : end + 1;
    stored.assign(text.data() + start, next - start);
    start = next;
    const char* raw = stored.c_str();
    if (raw[0] == ';') continue;
    line.clear();
    for (const char* c = raw; *c; ++c)
      if (*c != '\n' && *c != '\t') line += *c;
    if (line.size() <= 3) {
      Trace(" too long.. \n");
      continue;
    }
    // Tags have at least 8 characters at position 1, so the raw line reaches position 9.
    if (TagAtOne(line, "ComHead]")) {
      header_ = ParseInt32(raw + 9);
      head_text = line.substr(9);
    }
    if (TagAtOne(line, "RemInfo]")) {
      std::string info(raw + 9);
      if (!info.empty()) info.pop_back();
      if (info.size() > kMaxRemInfo) info.resize(kMaxRemInfo);
      Trace(" '%s' RemInfo: '%s'\n", name_.c_str(), info.c_str());
    }
    if (TagAtOne(line, "ComByte]")) mode_ = ParseInt32(raw + 9);
    if (TagAtOne(line, "ComData]")) {
      data_text = line.substr(9);
      const size_t raw_length = std::strlen(raw);
      size_t pos = 9;
      for (int32_t k = 1; k <= kKeySlots; ++k) {
        const long value = pos < raw_length ? std::strtol(raw + pos, nullptr, 10) : 0;
        if (value < 0 || value > kLargestSlotValue) {
          for (int32_t rest = k; rest <= kKeySlots; ++rest) key_[rest] = 0;
          Trace(" FILL UP REST..\n");
          break;
        }
        key_[k] = static_cast<int32_t>(value);
        const size_t comma = line.find(',', pos);
        // A short line leaves the remaining slots empty instead of re-reading earlier values.
        if (comma == std::string::npos) {
          for (int32_t rest = k + 1; rest <= kKeySlots; ++rest) key_[rest] = 0;
          break;
        }
        pos = comma + 1;
      }
    }
  }
  if (IsExact()) ParseExactLines(head_text, data_text);
}

void RemoteDefinition::ParseExactLines(const std::string& head, const std::string& data) {
  const std::optional<ExactCode> parsed = ParseExactHead(head);
  // A remote whose header cannot be read still holds its full-field keys; its bare ones are lost.
  if (!parsed) Trace(" '%s' exact header '%s' unreadable\n", name_.c_str(), head.c_str());
  SetExactHead(parsed.value_or(ExactCode{}));
  size_t pos = 0;
  for (int32_t k = 1; k < kKeySlots && pos < data.size(); ++k) {
    size_t comma = data.find(',', pos);
    if (comma == std::string::npos) comma = data.size();
    const std::string value = data.substr(pos, comma - pos);
    std::optional<ExactCode> code = ParseExactSlot(exact_head_, value);
    if (!parsed && code && value.find(':') == std::string::npos) code.reset();
    exact_key_[k] = code;
    pos = comma + 1;
  }
}

status_t RemoteDefinition::RemoteSave(WriteSync sync) {
  Trace(" -Save: ");
  if (name_ == "-noname-") {
    Trace(" <-noname-> return\n ");
    return kBadValue;
  }
  if (name_ == "newRemote") {
    Trace(" <newRemote> return\n ");
    return kBadValue;
  }
  if (name_.size() > kMaxNameLength) name_.resize(kMaxNameLength);
  const std::filesystem::path path = folder_ / name_;
  if (folder_.empty() || !IsSafeFileName(name_)) {
    Trace("'%s' OpenError!\n", path.c_str());
    return kBadValue;
  }

  std::string text = "; - \n; - KORU / REMOTE-FILE \n; - \n";
  text += "[ComName] " + name_ + "\n";
  if (IsExact()) {
    text += "[ComHead] " + ExactHeadText(exact_head_) + "\n";
  } else {
    text += "[ComHead] " + std::to_string(header_) + "\n";
  }
  text += "[ComByte] " + std::to_string(mode_) + "\n";
  text += "[ComData] ";
  for (int32_t k = 1; k < kKeySlots; ++k)
    text += (IsExact() ? ExactSlotText(exact_head_, exact_key_[k]) : std::to_string(key_[k])) + ",";
  text += "\n; - \n; - \n; --- for information:\n";
  for (int32_t n = kFirstKeyFunction; n <= kLastKeyFunction; ++n) {
    if (!IsReduced(n)) continue;
    const std::string label = std::string(" [") + getLabel(n) + "]";
    char info[128];
    if (IsExact()) {
      const std::string code = exact_key_[SlotOf(n)] ? ExactReadable(*exact_key_[SlotOf(n)]) : "-";
      std::snprintf(info, sizeof info, "; %-30s : %-11.11s \n", code.c_str(), label.c_str());
    } else {
      std::snprintf(info, sizeof info, "; %6ld : %-11.11s \n", static_cast<long>(key_[SlotOf(n)]),
                    label.c_str());
    }
    text += info;
  }
  text += "; - \n";

  const status_t status = WriteKoruFile(path, text, kKoruRemoteFile, sync);
  if (status != kOk) {
    Trace("'%s' OpenError!\n", path.c_str());
    return status;
  }
  Trace("Save-Remote %s done\n", path.c_str());
  return kOk;
}

}  // namespace koru
