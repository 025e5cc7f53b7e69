// Command lines of LIRC clients as the lircd socket answers them, one per line of the input:
// every reply is a whole BEGIN ... END packet that repeats the command, and its DATA count
// matches the lines that follow.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "lircd/lircd_command_reply.h"
#include "lircd/lircd_directory.h"

namespace koru {

namespace {

// The next line of `text` from `*at` on, without its line end; false past the end.
bool NextLine(std::string_view text, size_t* at, std::string_view* line) {
  if (*at >= text.size()) return false;
  const size_t end = std::min(text.find('\n', *at), text.size());
  *line = text.substr(*at, end - *at);
  *at = end + 1;
  return true;
}

void CheckPacket(std::string_view reply) {
  size_t at = 0;
  std::string_view line;
  FUZZ_CHECK(reply.ends_with("\n"));
  FUZZ_CHECK(NextLine(reply, &at, &line) && line == "BEGIN");
  FUZZ_CHECK(NextLine(reply, &at, &line));  // the command, as sent
  FUZZ_CHECK(NextLine(reply, &at, &line) && (line == "SUCCESS" || line == "ERROR"));
  FUZZ_CHECK(NextLine(reply, &at, &line));
  if (line == "DATA") {
    FUZZ_CHECK(NextLine(reply, &at, &line));
    const size_t count = std::stoul(std::string(line));
    for (size_t i = 0; i < count; ++i) FUZZ_CHECK(NextLine(reply, &at, &line));
    FUZZ_CHECK(NextLine(reply, &at, &line));
  }
  FUZZ_CHECK(line == "END" && at == reply.size());
}

}  // namespace

}  // namespace koru

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const LircdDirectory directory = [] {
    LircdDirectory made;
    made.remotes.push_back({"LR-SAT", {{0x3dcc8000000b3, "N1"}, {0x3dcc8000000b4, "Vol+"}}});
    made.remotes.push_back({"Hi_Fi", {{0x1400000001, "N1"}}});
    made.remotes.push_back({"Empty", {}});
    return made;
  }();
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t at = 0;
  std::string_view line;
  while (NextLine(text, &at, &line)) {
    const std::string reply = LircdCommandReply(line, directory, "1.0");
    if (!reply.empty()) CheckPacket(reply);
  }
  return 0;
}
