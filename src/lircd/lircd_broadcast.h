#pragma once
// The line a LIRC client receives for one key press:
//   "<code> <repeat> <key name> <remote name>\n", e.g. "0000000000fd4cb3 00 N1 LR-SAT"
// with the code as 16 hexadecimal digits and the repeat count as two.
//
// The code: for a key of an exact remote its taught code's address << 32 | command (a hash key:
// the hash); for a key of a classic remote the remote's header code << 32 | the command code
// taught for the key. A key's broadcast code is the code "LIST <remote>" shows for it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "receiver/receiver_report.h"
#include "remotes/remote_definition.h"

namespace koru {

// Clients split the line at blanks: every blank or control character of a name becomes '_'
// (an empty name becomes "_").
std::string LircdName(std::string_view name);
// The key function's English label ("N1", "Vol+", "|<<"), as a name.
std::string LircdKeyName(int32_t keyfn);
// The classic code of a taught key: header << 32 | the slot's command code.
uint64_t LircdClassicCode(int32_t header, int32_t command);
// The code of an exact key: address << 32 | command.
uint64_t LircdExactCode(const ExactCode& code);
// The code of key function `keyfn` of `remote` as taught; nothing when the remote has no such key.
std::optional<uint64_t> LircdKeyCode(const RemoteDefinition& remote, int32_t keyfn);
// The broadcast code of a recognised key: its taught code; for a key not (or no longer) taught,
// the report's exact code, else the remote's header with command 0 (0 for an exact remote).
uint64_t LircdCode(const RemoteDefinition& remote, int32_t keyfn, const ReceiverReport& report);
// Repeat counts beyond 0xff stay 0xff (two digits).
std::string LircdBroadcastLine(uint64_t code, int repeat, std::string_view key,
                               std::string_view remote);

}  // namespace koru
