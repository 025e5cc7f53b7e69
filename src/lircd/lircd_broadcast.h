#pragma once
// The line a LIRC client receives for one key press:
//   "<code> <repeat> <key name> <remote name>\n", e.g. "0000000000fd4cb3 00 N1 LR-SAT"
// with the code as 16 hexadecimal digits and the repeat count as two.
//
// The code: for a report with an exact code (field "_exact") address << 32 | command; otherwise
// the remote's header code << 32 | the command code taught for the key (so a key's broadcast
// code is the code "LIST <remote>" shows for it).
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/messaging/message.h"
#include "remotes/remote_cl.h"

// Clients split the line at blanks: every blank or control character of a name becomes '_'
// (an empty name becomes "_").
std::string LircdName(std::string_view name);
// The key function's English label ("N1", "Vol+", "|<<"), as a name.
std::string LircdKeyName(int32_t keyfn);
// The classic code of a taught key: header << 32 | the slot's command code.
uint64_t LircdClassicCode(int32_t header, int32_t command);
uint64_t LircdCode(const RemoteCL& remote, int32_t keyfn, const Message& report);
// Repeat counts beyond 0xff stay 0xff (two digits).
std::string LircdBroadcastLine(uint64_t code, int repeat, std::string_view key,
                               std::string_view remote);
