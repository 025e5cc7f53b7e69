// Finding the files KORU ships, from the build folder (the installed layout is checked on the
// extracted package by scripts/package-check.sh).
#include "platform/files/data_folder.h"

#include <gtest/gtest.h>

#include <fstream>

#include "temp_dir.h"

namespace koru {

TEST(DataFolder, NamesAreTakenAsGivenFirstThenLookedUpAmongTheShippedFiles) {
  TempDir dir;
  const std::filesystem::path own = dir.Path() / "demo.mode2";
  std::ofstream(own) << "pulse 1\n";
  const std::filesystem::path source_data = std::filesystem::path(KORU_SOURCE_DIR) / "data";
  const struct {
    std::filesystem::path name;
    std::filesystem::path found;
  } cases[] = {
      {own, own},                                              // an existing file wins
      {"demo.mode2", source_data / "demo.mode2"},              // shipped
      {"no-such.mode2", "no-such.mode2"},                      // reported under its own name
      {dir.Path() / "gone.mode2", dir.Path() / "gone.mode2"},  // absolute: never redirected
  };
  for (const auto& c : cases) EXPECT_EQ(FindDataFile(c.name), c.found) << c.name;
  EXPECT_EQ(DataFolder(), source_data);
}

}  // namespace koru
