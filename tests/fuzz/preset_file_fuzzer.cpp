// Preset files: every line through the line parser, and what the writer keeps of the result
// reads back unchanged.
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "presets/preset_file.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QuietTrace();
  PresetList list = NewPresetList();
  FUZZ_CHECK(ReadPresetFile(WriteFuzzFile("preset", data, size), &list) >= 0);

  std::istringstream text(FormatPresetFile(list));
  PresetList again = NewPresetList();
  for (std::string line; std::getline(text, line);) {
    int slot = -1;
    std::string value;
    if (ParsePresetLine(line, &slot, &value)) {
      FUZZ_CHECK(slot >= 0 && slot < kPresetSlots);
      again[slot] = value;
    }
  }
  for (int slot = 0; slot < kPresetSlots; ++slot) {
    // A slot the writer left out (unset, too long, a quote or a line break) reads as unset.
    FUZZ_CHECK(again[slot] == list[slot] || again[slot] == NewPresetList()[slot]);
  }
  return 0;
}
