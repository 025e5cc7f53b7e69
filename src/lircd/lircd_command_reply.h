#pragma once
// lircd's command protocol: a client sends one command per line and gets one reply packet
//   BEGIN / <the command line> / SUCCESS or ERROR / [DATA / n / n lines] / END
// Answered: VERSION, LIST (the remotes), LIST <remote> (its keys, "%016llx NAME"),
// LIST <remote> <key>. KORU sends no infrared: SEND_ONCE, SEND_START, SEND_STOP and
// SET_TRANSMITTERS get an ERROR reply, as lircd gives for hardware that cannot send; any other
// directive gets lircd's "unknown directive" ERROR.
#include <string>
#include <string_view>

#include "lircd/lircd_directory.h"

namespace koru {

// The reply to one line (without its line end); empty for a blank line, which lircd ignores.
std::string LircdCommandReply(std::string_view line, const LircdDirectory& directory,
                              std::string_view version);

}  // namespace koru
