// LIRC configurations as the import reads them: parse, then make every button's signal, find
// every button's key function, and make every name safe to show and to cut.
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "lirc/lirc_config.h"
#include "lirc/lirc_key_names.h"
#include "lirc/lirc_signal.h"
#include "lirc/shown_text.h"

namespace koru {

namespace {

// No control character survives, and a cut keeps whole characters.
void CheckName(std::string_view name) {
  for (const char c : ShownSafely(name)) {
    const auto byte = static_cast<unsigned char>(c);
    FUZZ_CHECK(byte >= 0x20 && byte != 0x7f);
  }
  const std::string_view cut = CutUtf8(name, 78);
  FUZZ_CHECK(cut.size() <= 78 && name.starts_with(cut));
  if (cut.size() < name.size()) {
    FUZZ_CHECK((static_cast<unsigned char>(name[cut.size()]) & 0xc0) != 0x80 || cut.empty());
  }
}

}  // namespace

}  // namespace koru

using namespace koru;

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
    CheckName(remote.name);
    for (const LircButton& button : remote.buttons) {
      CheckName(button.name);
      const int32_t function = KeyFunctionOfLircName(button.name);
      FUZZ_CHECK(function == 0 || (function >= 51 && function <= 100));
      std::vector<int32_t> periods;
      if (LircButtonSignal(remote, button, 2, &periods, nullptr) != kOk) continue;
      // Pulse first, levels alternating, every period positive, a gap at the end.
      FUZZ_CHECK(!periods.empty() && periods.size() % 2 == 0);
      for (int32_t period : periods) FUZZ_CHECK(period > 0);
    }
  }
  return 0;
}
