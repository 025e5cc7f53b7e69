// LIRC button names to KORU key functions: the input layer's names, the database's spellings,
// and names that must stay unmapped.
#include "lirc/lirc_key_names.h"

#include <gtest/gtest.h>

#include <sstream>

#include "test_files.h"

namespace koru {

namespace {

TEST(LircKeyNames, MapTheNamesOfTheDatabaseToKeyFunctions) {
  std::istringstream table(ReadAll(KORU_SOURCE_DIR "/tests/lirc/data/key_names.txt"));
  int names = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    int32_t key_function = -1;
    words >> key_function;
    for (std::string name; words >> name; ++names)
      EXPECT_EQ(KeyFunctionOfLircName(name), key_function) << name;
  }
  EXPECT_GT(names, 70);
  EXPECT_EQ(KeyFunctionOfLircName(""), 0);
}

}  // namespace

}  // namespace koru
