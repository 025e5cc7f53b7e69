// LIRC configurations as the import reads them: parse, then make every button's signal.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "lirc/lirc_config.h"
#include "lirc/lirc_signal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<LircRemote> remotes;
  std::string error;
  if (ParseLircConfig(text, "fuzz", &remotes, nullptr, &error) != kOk) {
    FUZZ_CHECK(!error.empty() && remotes.empty());
    return 0;
  }
  for (const LircRemote& remote : remotes) {
    FUZZ_CHECK(remote.Raw() || remote.AllBits() <= 64);
    for (const LircButton& button : remote.buttons) {
      std::vector<int32_t> periods;
      if (LircButtonSignal(remote, button, 2, &periods, nullptr) != kOk) continue;
      // Pulse first, levels alternating, every period positive, a gap at the end.
      FUZZ_CHECK(!periods.empty() && periods.size() % 2 == 0);
      for (int32_t period : periods) FUZZ_CHECK(period > 0);
    }
  }
  return 0;
}
