// Desktop entries: the input is a .desktop file; its Exec line becomes an argument vector.
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "platform/launcher/desktop_entry.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QuietTrace();
  const std::vector<std::string> files = {"/home/user/a b.ogg", "/tmp/$(x)"};
  const auto exec = ReadDesktopExec(WriteFuzzFile("fuzzed.desktop", data, size));
  const std::string line = exec ? *exec : std::string(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> arguments = ExpandDesktopExec(line, files);
  // Without a field code the files follow the command, each whole, as one argument.
  if (!arguments.empty() && line.find('%') == std::string::npos) {
    FUZZ_CHECK(arguments.size() >= files.size());
    FUZZ_CHECK(arguments[arguments.size() - 2] == files[0]);
    FUZZ_CHECK(arguments.back() == files[1]);
  }
  return 0;
}
