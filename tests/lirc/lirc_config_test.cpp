// Reading lircd.conf files. The timings and flags are checked through the signals they give
// (lirc_signal_test.cpp, against irsimsend); here the reading quirks LIRC's files rely on, the
// warnings, and malformed files refused with the line at fault; and the key functions of LIRC's
// button names.
#include "lirc/lirc_config.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "lirc/lirc_key_names.h"
#include "sectioned_file.h"
#include "test_files.h"

namespace koru {

namespace {

TEST(LircConfig, ReadsNumbersCommentsAndButtonNamesAsLircDoes) {
  const std::string text = ReadAll(KORU_SOURCE_DIR "/tests/lirc/data/quirks.conf");
  std::vector<LircRemote> remotes;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_EQ(ParseLircConfig(text, "q.conf", &remotes, &warnings, &error), kOk) << error;
  EXPECT_TRUE(warnings.empty());
  ASSERT_EQ(remotes.size(), 1u);
  const LircRemote& r = remotes[0];
  // Its lines, flags, pre and post data (010: a leading 0 is octal), gap, toggle bit and bits.
  EXPECT_EQ(
      std::tuple(r.name, r.line, r.end_line, r.flags, r.pre_data, r.post_data, r.gap, r.toggle_bit,
                 r.AllBits()),
      std::tuple("Quirks", 2, 18, kLircSpaceEnc | kLircConstLength, 0x1Du, 8u, 108000, 3, 28));
  ASSERT_EQ(r.buttons.size(), 3u);
  EXPECT_EQ(r.buttons[0].codes, (std::vector<uint64_t>{0x807F, 0x40BF}));
  EXPECT_EQ(r.buttons[0].line, 13);
  EXPECT_EQ(r.buttons[1].name, "#");  // '#' starts a comment only in the first column
  EXPECT_EQ(r.buttons[2].name, "End");
}

TEST(LircConfig, WarnsAboutWhatItDoesNotKnowAndGoesOn) {
  std::vector<LircRemote> remotes;
  std::vector<std::string> warnings;
  ASSERT_EQ(ParseLircConfig(ReadAll(KORU_SOURCE_DIR "/tests/lirc/data/warnings.conf"), "w.conf",
                            &remotes, &warnings, nullptr),
            kOk);
  ASSERT_EQ(remotes.size(), 3u);
  EXPECT_EQ(remotes[0].flags, kLircSpaceEnc);
  EXPECT_EQ(remotes[0].buttons.size(), 2u);  // LIRC keeps both
  // Many names given twice make one line, not one each.
  EXPECT_EQ(warnings,
            (std::vector<std::string>{
                "w.conf:1: \"include\" is not followed", "w.conf:5: unknown flag 'FANCY' ignored",
                "w.conf:6: unknown parameter 'shiny' ignored",
                "w.conf:11: a second button named 'K'", "w.conf:19: a second remote named 'w'",
                "w.conf:25: 7 buttons named a second time in 'm' (each is kept, as LIRC does): "
                "'K0', 'K1', 'K2', 'K3', 'K4' and 2 more"}));
}

TEST(LircConfig, RefusesMalformedFilesWithTheLineAtFault) {
  const auto bad = ReadSections(KORU_SOURCE_DIR "/tests/lirc/data/malformed.txt", "=== ");
  ASSERT_EQ(bad.size(), 15u);
  for (const auto& [expected, text] : bad) {
    std::vector<LircRemote> remotes;
    std::string error;
    EXPECT_EQ(ParseLircConfig(text, "m.conf", &remotes, nullptr, &error), kBadValue) << text;
    EXPECT_EQ(error, expected);
    EXPECT_TRUE(remotes.empty());
  }
  std::vector<LircRemote> remotes;
  std::string error;
  EXPECT_NE(ReadLircConfigFile("/nonexistent/lircd.conf", &remotes, nullptr, &error), kOk);
  EXPECT_EQ(error, "/nonexistent/lircd.conf: No such file");
  EXPECT_EQ(ReadLircConfigFile("/tmp", &remotes, nullptr, &error), kBadType);
}

// LIRC button names to KORU key functions: the input layer's names, the database's spellings,
// and names that must stay unmapped.
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
