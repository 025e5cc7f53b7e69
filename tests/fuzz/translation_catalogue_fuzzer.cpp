// Translation catalogues: the input is the user's catalogue; every label must stay a text.
#include <cstdlib>
#include <filesystem>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "platform/files/paths.h"
#include "settings/label_table.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  [[maybe_unused]] static const bool prepared = [] {
    std::filesystem::create_directories(FuzzFolder() / "Language" / "Dictionaries");
    SetProgramFolder(FuzzFolder());
    setenv("LC_ALL", "xx_XX.UTF-8", 1);
    return true;
  }();
  QuietTrace();
  WriteFuzzFile("Language/Dictionaries/xx.catalog", data, size);
  ReloadLabelCatalogue();
  for (int n = -1; n <= kLabelCount; ++n) FUZZ_CHECK(getLabel(n) != nullptr);
  return 0;
}
