// Reading lircd.conf files. The timings and flags are checked through the signals they give
// (lirc_signal_test.cpp, against irsimsend); here the reading quirks LIRC's files rely on, the
// warnings, and malformed files refused with the line at fault.
#include "lirc/lirc_config.h"

#include <gtest/gtest.h>

namespace {

TEST(LircConfig, ReadsNumbersCommentsAndButtonNamesAsLircDoes) {
  const char* text =
      "# a comment\n"
      "begin remote\n"
      "  name  Quirks  \n"
      "  bits 16 # a comment after a value\n"
      "  flags SPACE_ENC | const_length\n"
      "  pre_data_bits 8\n  pre_data 0X1D\n  post_data_bits 4\n  post_data 010\n"
      "  gap 108000 110000\n  repeat_bit 3\n"
      "  begin codes\n"
      "    KEY_1 0x807F 0x40BF\n"
      "#   KEY_2 0x1\n"
      "    # 0x00FE\n"
      "    End 0x00FD\n"
      "  end codes\n"
      "end remote\n";
  std::vector<LircRemote> remotes;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_EQ(ParseLircConfig(text, "q.conf", &remotes, &warnings, &error), kOk) << error;
  EXPECT_TRUE(warnings.empty());
  ASSERT_EQ(remotes.size(), 1u);
  const LircRemote& r = remotes[0];
  EXPECT_EQ(r.name, "Quirks");
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.end_line, 18);
  EXPECT_EQ(r.flags, kLircSpaceEnc | kLircConstLength);
  EXPECT_EQ(r.pre_data, 0x1Du);
  EXPECT_EQ(r.post_data, 8u);  // a leading 0 is octal
  EXPECT_EQ(r.gap, 108000);
  EXPECT_EQ(r.toggle_bit, 3);
  EXPECT_EQ(r.AllBits(), 28);
  ASSERT_EQ(r.buttons.size(), 3u);
  EXPECT_EQ(r.buttons[0].codes, (std::vector<uint64_t>{0x807F, 0x40BF}));
  EXPECT_EQ(r.buttons[0].line, 13);
  EXPECT_EQ(r.buttons[1].name, "#");  // '#' starts a comment only in the first column
  EXPECT_EQ(r.buttons[2].name, "End");
}

TEST(LircConfig, WarnsAboutWhatItDoesNotKnowAndGoesOn) {
  const char* text =
      "include \"other.conf\"\n"
      "begin remote\n name w\n bits 8\n flags SPACE_ENC|FANCY\n shiny 3\n"
      " one 500 1500\n zero 500 500\n begin codes\n  K 0x1\n  K 0x2\n end codes\nend remote\n"
      "begin remote\n name w\n bits 8\n begin codes\n end codes\nend remote\n";
  std::vector<LircRemote> remotes;
  std::vector<std::string> warnings;
  ASSERT_EQ(ParseLircConfig(text, "w.conf", &remotes, &warnings, nullptr), kOk);
  ASSERT_EQ(remotes.size(), 2u);
  EXPECT_EQ(remotes[0].flags, kLircSpaceEnc);
  EXPECT_EQ(remotes[0].buttons.size(), 2u);  // LIRC keeps both
  EXPECT_EQ(warnings,
            (std::vector<std::string>{
                "w.conf:1: \"include\" is not followed", "w.conf:5: unknown flag 'FANCY' ignored",
                "w.conf:6: unknown parameter 'shiny' ignored",
                "w.conf:11: a second button named 'K'", "w.conf:19: a second remote named 'w'"}));

  // Many names given twice make one line, not one each.
  std::string many = "begin remote\n name m\n bits 8\n begin codes\n";
  for (int i = 0; i < 7; ++i) {
    const std::string name = "  K" + std::to_string(i);
    many += name + " 0x1\n" + name + " 0x2\n";
  }
  many += " end codes\nend remote\n";
  warnings.clear();
  remotes.clear();
  ASSERT_EQ(ParseLircConfig(many, "m.conf", &remotes, &warnings, nullptr), kOk);
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          "m.conf:6: 7 buttons named a second time in 'm' (each is kept, as LIRC "
                          "does): 'K0', 'K1', 'K2', 'K3', 'K4' and 2 more"}));
}

TEST(LircConfig, RefusesMalformedFilesWithTheLineAtFault) {
  const std::string head = "begin remote\n name m\n bits 8\n";
  const std::string codes = " begin codes\n  K 0x1\n end codes\n";
  struct Bad {
    std::string text;
    const char* error;
  } const bad[] = {
      {head + " one 500\n", "m.conf:4: 'one' needs a pulse and a space"},
      {head + " gap 10ms\n", "m.conf:4: '10ms' is no number"},
      {head + " header -9000 4500\n", "m.conf:4: '-9000' is no number"},
      {head + " bits 65\n", "m.conf:4: '65' is out of range"},
      {head + " pre_data_bits 40\n post_data_bits 20\n" + codes + "end remote\n",
       "m.conf:1: more than 64 bits in pre_data, code and post_data"},
      {head + codes, "m.conf:1: \"begin remote\" without \"end remote\""},
      {head + " begin codes\n  K\n end codes\nend remote\n", "m.conf:5: button 'K' without a code"},
      {"end remote\n", "m.conf:1: \"end remote\" is out of place"},
      {"bits 8\n", "m.conf:1: 'bits' outside \"begin remote\""},
      {"begin remote\n bits 8\n" + codes + "end remote\n", "m.conf:1: remote without a name"},
      {head + " begin raw_codes\n  name A\n   900 450\n end raw_codes\nend remote\n",
       "m.conf:5: button 'A' does not end with a pulse"},
      {head + " begin raw_codes\n  900 450\n end raw_codes\nend remote\n",
       "m.conf:5: periods before the first 'name'"},
      {head + " begin raw_codes\n  name A\n   900 0 560\n end raw_codes\nend remote\n",
       "m.conf:6: a period of 0"},
      {head + " begin nonsense\n", "m.conf:4: unknown section 'nonsense'"},
      {head + codes + codes + "end remote\n", "m.conf:7: \"begin codes\" is out of place"},
  };
  for (const Bad& b : bad) {
    std::vector<LircRemote> remotes;
    std::string error;
    EXPECT_EQ(ParseLircConfig(b.text, "m.conf", &remotes, nullptr, &error), kBadValue) << b.text;
    EXPECT_EQ(error, b.error);
    EXPECT_TRUE(remotes.empty());
  }
  std::vector<LircRemote> remotes;
  std::string error;
  EXPECT_NE(ReadLircConfigFile("/nonexistent/lircd.conf", &remotes, nullptr, &error), kOk);
  EXPECT_EQ(error, "/nonexistent/lircd.conf: No such file");
  EXPECT_EQ(ReadLircConfigFile("/tmp", &remotes, nullptr, &error), kBadType);
}

}  // namespace
