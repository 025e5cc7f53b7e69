// Command lines of LIRC clients as the lircd socket answers them, one per line of the input:
// every reply is a whole BEGIN ... END packet that repeats the command, and its DATA count
// matches the lines that follow.
#include <cstdint>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "lircd/lircd_command_reply.h"
#include "lircd/lircd_directory.h"

namespace koru {

namespace {

void CheckPacket(const std::string& reply) {
  std::istringstream in(reply);
  std::string line;
  FUZZ_CHECK(reply.ends_with("\n"));
  FUZZ_CHECK(std::getline(in, line) && line == "BEGIN");
  FUZZ_CHECK(std::getline(in, line));  // the command, as sent
  FUZZ_CHECK(std::getline(in, line) && (line == "SUCCESS" || line == "ERROR"));
  FUZZ_CHECK(std::getline(in, line));
  if (line == "DATA") {
    FUZZ_CHECK(std::getline(in, line));
    const size_t count = std::stoul(line);
    for (size_t i = 0; i < count; ++i) FUZZ_CHECK(std::getline(in, line));
    FUZZ_CHECK(std::getline(in, line));
  }
  FUZZ_CHECK(line == "END" && in.peek() == EOF);
}

}  // namespace

}  // namespace koru

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const LircdDirectory directory{{
      {"LR-SAT", {{0x3dcc8000000b3, "N1"}, {0x3dcc8000000b4, "Vol+"}}},
      {"Hi_Fi", {{0x1400000001, "N1"}}},
      {"Empty", {}},
  }};
  std::istringstream text(std::string(reinterpret_cast<const char*>(data), size));
  for (std::string line; std::getline(text, line);) {
    const std::string reply = LircdCommandReply(line, directory, "1.0");
    if (!reply.empty()) CheckPacket(reply);
  }
  return 0;
}
