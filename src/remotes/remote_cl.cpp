#include "remotes/remote_cl.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files/koru_type.h"
#include "platform/files/paths.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"
#include "settings/label_table.h"

std::filesystem::path RemoteCL::fFold;
bool RemoteCL::fFoldChecked = false;
std::atomic<int32_t> RemoteCL::fNr{0};

namespace {

constexpr size_t kLineBuffer = 512;
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

RemoteCL::RemoteCL() : fName("-noname-") {
  ++fNr;
  if (!fFoldChecked) {
    fFold = ProgramFolder() / "_Remotes_";
    fFoldChecked = true;
  }
}

RemoteCL::~RemoteCL() {
  --fNr;
}

void RemoteCL::SetFolder(const std::filesystem::path& path) {
  if (!fFoldChecked) {
    fFold = path;
    fFoldChecked = true;
  }
  Trace("\n Remote-Folder: %s\n", fFold.c_str());
}

void RemoteCL::CopyFrom(const RemoteCL& other) {
  fName = other.fName;
  fComHead = other.fComHead;
  fComByte = other.fComByte;
  fKind = other.fKind;
  std::memcpy(fKey, other.fKey, sizeof fKey);
}

void RemoteCL::ClearKeyDef() {
  for (int32_t k = 1; k <= kKeySlots; ++k) fKey[k] = 0;
}

bool RemoteCL::IsReduced(int32_t n) {
  return (n >= 51 && n <= 71) || n == 75 || n == 81 || n == 83 || n == 84 || n == 91 ||
         (n >= 93 && n <= 97);
}

int32_t RemoteCL::ExistValue(int32_t code) const {
  if (code < 1 || code > 256255) {
    Trace("-OutOfRange-");
    return kNoKeyFunction;
  }
  for (int32_t k = 1; k <= kKeySlots; ++k)
    if (fKey[k] == code) return 50 + k;
  return kNoKeyFunction;
}

RemoteCL* RemoteCL::FindRemote(const RemoteList* list, const std::string& name) {
  if (!list) return nullptr;
  for (auto it = list->rbegin(); it != list->rend(); ++it)
    if (*it && (*it)->fName == name) return it->get();
  return nullptr;
}

void RemoteCL::RemoteLoad(const std::string& name) {
  fName = name;
  const std::filesystem::path path = fFold / name;
  ClearKeyDef();
  // A name that would leave the folder names no remote file of ours.
  FILE* file = IsPlainFileName(name) ? std::fopen(path.c_str(), "r") : nullptr;
  if (!file) {
    Trace(" '%s' Missing !\n", path.c_str());
    return;
  }
  char raw[kLineBuffer];
  while (std::fgets(raw, sizeof raw, file)) {
    if (raw[0] == ';') continue;
    std::string line;
    for (const char* c = raw; *c; ++c)
      if (*c != '\n' && *c != '\t') line += *c;
    if (line.size() <= 3) {
      Trace(" too long.. \n");
      continue;
    }
    // Tags have at least 8 characters at position 1, so the raw line reaches position 9.
    if (TagAtOne(line, "ComHead]")) fComHead = ParseInt32(raw + 9);
    if (TagAtOne(line, "RemInfo]")) {
      std::string info(raw + 9);
      if (!info.empty()) info.pop_back();
      if (info.size() > kMaxRemInfo) info.resize(kMaxRemInfo);
      Trace(" '%s' RemInfo: '%s'\n", fName.c_str(), info.c_str());
    }
    if (TagAtOne(line, "ComByte]")) fComByte = ParseInt32(raw + 9);
    if (TagAtOne(line, "ComData]")) {
      const size_t raw_length = std::strlen(raw);
      size_t pos = 9;
      for (int32_t k = 1; k <= kKeySlots; ++k) {
        const long value = pos < raw_length ? std::strtol(raw + pos, nullptr, 10) : 0;
        if (value < 0 || value > kLargestSlotValue) {
          for (int32_t rest = k; rest <= kKeySlots; ++rest) fKey[rest] = 0;
          Trace(" FILL UP REST..\n");
          break;
        }
        fKey[k] = static_cast<int32_t>(value);
        const size_t comma = line.find(',', pos);
        // A short line leaves the remaining slots empty instead of re-reading earlier values.
        if (comma == std::string::npos) {
          for (int32_t rest = k + 1; rest <= kKeySlots; ++rest) fKey[rest] = 0;
          break;
        }
        pos = comma + 1;
      }
    }
  }
  std::fclose(file);
}

status_t RemoteCL::RemoteSave(WriteSync sync) {
  Trace(" -Save: ");
  if (fName == "-noname-") {
    Trace(" <-noname-> return\n ");
    return kBadValue;
  }
  if (fName == "newRemote") {
    Trace(" <newRemote> return\n ");
    return kBadValue;
  }
  if (fName.size() > kMaxNameLength) fName.resize(kMaxNameLength);
  const std::filesystem::path path = fFold / fName;
  if (!IsSafeFileName(fName)) {
    Trace("'%s' OpenError!\n", path.c_str());
    return kBadValue;
  }

  std::string text = "; - \n; - KORU / REMOTE-FILE \n; - \n";
  text += "[ComName] " + fName + "\n";
  text += "[ComHead] " + std::to_string(fComHead) + "\n";
  text += "[ComByte] " + std::to_string(fComByte) + "\n";
  text += "[ComData] ";
  for (int32_t k = 1; k < kKeySlots; ++k) text += std::to_string(fKey[k]) + ",";
  text += "\n; - \n; - \n; --- for information:\n";
  for (int32_t n = kFirstKeyFunction; n <= kLastKeyFunction; ++n) {
    if (!IsReduced(n)) continue;
    const std::string label = std::string(" [") + getLabel(n) + "]";
    char info[64];
    std::snprintf(info, sizeof info, "; %6ld : %-11.11s \n", static_cast<long>(fKey[n - 50]),
                  label.c_str());
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
