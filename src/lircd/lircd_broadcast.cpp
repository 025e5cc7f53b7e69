#include "lircd/lircd_broadcast.h"

#include <algorithm>
#include <cstdio>

#include "receiver/exact/exact_code.h"
#include "settings/label_table.h"

namespace koru {

std::string LircdName(std::string_view name) {
  std::string text(name);
  for (char& c : text) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '\x7f') c = '_';
  }
  return text.empty() ? "_" : text;
}

std::string LircdKeyName(int32_t keyfn) {
  // The English table, not the user's translation: lircrc files name keys in one language.
  if (keyfn < 0 || keyfn >= kLabelCount) return "_";
  return LircdName(eLabel[keyfn]);
}

uint64_t LircdClassicCode(int32_t header, int32_t command) {
  return static_cast<uint64_t>(static_cast<uint32_t>(header)) << 32 |
         static_cast<uint32_t>(command);
}

uint64_t LircdExactCode(const ExactCode& code) {
  return static_cast<uint64_t>(code.address) << 32 | code.command;
}

std::optional<uint64_t> LircdKeyCode(const RemoteDefinition& remote, int32_t keyfn) {
  if (remote.IsExact()) {
    // ExactKey holds the full code: a key of another protocol or address keeps its own address.
    const std::optional<ExactCode> code = remote.ExactKey(keyfn);
    if (!code) return std::nullopt;
    return LircdExactCode(*code);
  }
  // The last slot is the checksum, no key.
  const int32_t slot = SlotOf(keyfn);
  if (slot < 1 || slot >= kKeySlots) return std::nullopt;
  const int32_t command = remote.Slot(slot);
  if (command < 1 || command >= kLargestSlotValue) return std::nullopt;
  return LircdClassicCode(remote.header_, command);
}

uint64_t LircdCode(const RemoteDefinition& remote, int32_t keyfn, const ReceiverReport& report) {
  if (const std::optional<uint64_t> taught = LircdKeyCode(remote, keyfn)) return *taught;
  if (report.exact) return LircdExactCode(*report.exact);
  // An exact remote has no classic header to fall back on.
  return remote.IsExact() ? 0 : LircdClassicCode(remote.header_, 0);
}

std::string LircdBroadcastLine(uint64_t code, int repeat, std::string_view key,
                               std::string_view remote) {
  char head[32];
  std::snprintf(head, sizeof head, "%016llx %02x ", static_cast<unsigned long long>(code),
                std::clamp(repeat, 0, 0xff));
  std::string line = head;
  line += LircdName(key);
  line += ' ';
  line += LircdName(remote);
  line += '\n';
  return line;
}

}  // namespace koru
