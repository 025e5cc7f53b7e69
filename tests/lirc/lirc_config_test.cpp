// Reading lircd.conf files: every parameter and flag into the remote, several remotes per file,
// raw buttons, and malformed files refused with the line at fault.
#include "lirc/lirc_config.h"

#include <gtest/gtest.h>

namespace {

TEST(LircConfig, ReadsEveryParameterOfASpaceEncodedRemote) {
  const char* text =
      "# a comment\n"
      "begin remote\n"
      "  name  Full  \n"
      "  bits 16\n"
      "  flags SPACE_ENC|CONST_LENGTH|REVERSE|NO_HEAD_REP|NO_FOOT_REP|REPEAT_HEADER\n"
      "  eps 25\n  aeps 150\n"
      "  header 9000 4500\n  one 560 1690\n  zero 560 560\n  ptrail 560\n  plead 100\n"
      "  foot 200 2000\n  repeat 9000 2250\n  pre 300 3000\n  post 400 4000\n"
      "  pre_data_bits 8\n  pre_data 0X1D\n  post_data_bits 4\n  post_data 010\n"
      "  gap 108000 110000\n  repeat_gap 40000\n  min_repeat 2\n  toggle_bit 3\n"
      "  toggle_bit_mask 0x8000\n  repeat_mask 0xFF\n  frequency 36000\n  duty_cycle 33\n"
      "  begin codes\n"
      "    KEY_POWER 0x00FF   # trailing comment\n"
      "    KEY_1 0x807F 0x40BF\n"
      "#   KEY_2 0x1 (a comment line)\n"
      "    # 0x00FE\n"
      "    End 0x00FD\n"
      "  end codes\n"
      "end remote\n";
  std::vector<LircRemote> remotes;
  std::vector<std::string> warnings;
  std::string error;
  ASSERT_EQ(ParseLircConfig(text, "full.conf", &remotes, &warnings, &error), kOk) << error;
  EXPECT_TRUE(warnings.empty());
  ASSERT_EQ(remotes.size(), 1u);
  const LircRemote& r = remotes[0];
  EXPECT_EQ(r.name, "Full");
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.flags, kLircSpaceEnc | kLircConstLength | kLircReverse | kLircNoHeadRep |
                         kLircNoFootRep | kLircRepeatHeader);
  EXPECT_EQ(r.bits, 16);
  EXPECT_EQ(r.eps, 25);
  EXPECT_EQ(r.aeps, 150);
  EXPECT_EQ(r.header.pulse, 9000);
  EXPECT_EQ(r.header.space, 4500);
  EXPECT_EQ(r.one.space, 1690);
  EXPECT_EQ(r.zero.space, 560);
  EXPECT_EQ(r.ptrail, 560);
  EXPECT_EQ(r.plead, 100);
  EXPECT_EQ(r.foot.space, 2000);
  EXPECT_EQ(r.repeat.space, 2250);
  EXPECT_EQ(r.pre.pulse, 300);
  EXPECT_EQ(r.post.space, 4000);
  EXPECT_EQ(r.pre_data_bits, 8);
  EXPECT_EQ(r.pre_data, 0x1Du);
  EXPECT_EQ(r.post_data_bits, 4);
  EXPECT_EQ(r.post_data, 8u);  // octal, as LIRC reads it
  EXPECT_EQ(r.gap, 108000);
  EXPECT_EQ(r.repeat_gap, 40000);
  EXPECT_EQ(r.min_repeat, 2);
  EXPECT_EQ(r.toggle_bit, 3);
  EXPECT_EQ(r.toggle_bit_mask, 0x8000u);
  EXPECT_EQ(r.repeat_mask, 0xFFu);
  EXPECT_EQ(r.frequency, 36000);
  EXPECT_EQ(r.AllBits(), 28);
  ASSERT_EQ(r.buttons.size(), 4u);
  EXPECT_EQ(r.buttons[2].name, "#");
  EXPECT_EQ(r.buttons[3].name, "End");
  EXPECT_EQ(r.buttons[0].name, "KEY_POWER");
  EXPECT_EQ(r.buttons[0].codes, std::vector<uint64_t>{0xFF});
  EXPECT_EQ(r.buttons[1].codes, (std::vector<uint64_t>{0x807F, 0x40BF}));
  EXPECT_EQ(r.buttons[1].line, 31);
}

TEST(LircConfig, ReadsEveryEncodingFlagAndSeveralRemotesPerFile) {
  struct Flag {
    const char* text;
    uint32_t flags;
  } const flags[] = {
      {"RC5", kLircRc5},
      {"SHIFT_ENC|CONST_LENGTH", kLircRc5 | kLircConstLength},
      {"rc6", kLircRc6},
      {"RCMM", kLircRcmm},
      {"SPACE_FIRST", kLircSpaceFirst},
      {"GOLDSTAR", kLircGoldstar},
      {"GRUNDIG", kLircGrundig},
      {"BO", kLircBo},
      {"SERIAL", kLircSerial},
      {"XMP", kLircXmp},
      {"RAW_CODES", kLircRawCodes},
  };
  std::string text;
  for (size_t i = 0; i < std::size(flags); ++i)
    text += "begin remote\n name r" + std::to_string(i) + "\n bits 8\n flags " + flags[i].text +
            "\n one 500 500\n zero 500 500\n begin codes\n  K 0x1\n end codes\nend remote\n\n";
  std::vector<LircRemote> remotes;
  std::string error;
  ASSERT_EQ(ParseLircConfig(text, "flags.conf", &remotes, nullptr, &error), kOk) << error;
  ASSERT_EQ(remotes.size(), std::size(flags));
  for (size_t i = 0; i < std::size(flags); ++i) {
    EXPECT_EQ(remotes[i].name, "r" + std::to_string(i));
    EXPECT_EQ(remotes[i].flags, flags[i].flags) << flags[i].text;
  }
  EXPECT_EQ(LircFlagsText(kLircRc5 | kLircConstLength), "RC5|CONST_LENGTH");
}

TEST(LircConfig, ReadsRawButtonsOverSeveralLines) {
  const char* text =
      "begin remote\n name raw\n flags RAW_CODES\n gap 50000\n begin raw_codes\n"
      "  name A\n   900 450 560\n   560 560\n"
      "  name B 900 450\n   560\n end raw_codes\nend remote\n";
  std::vector<LircRemote> remotes;
  std::string error;
  ASSERT_EQ(ParseLircConfig(text, "raw.conf", &remotes, nullptr, &error), kOk) << error;
  ASSERT_EQ(remotes[0].buttons.size(), 2u);
  EXPECT_TRUE(remotes[0].Raw());
  EXPECT_EQ(remotes[0].buttons[0].raw, (std::vector<int32_t>{900, 450, 560, 560, 560}));
  EXPECT_EQ(remotes[0].buttons[1].raw, (std::vector<int32_t>{900, 450, 560}));
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
  EXPECT_EQ(remotes[0].buttons.size(), 2u);
  EXPECT_EQ(warnings,
            (std::vector<std::string>{
                "w.conf:1: \"include\" is not followed", "w.conf:5: unknown flag 'FANCY' ignored",
                "w.conf:6: unknown parameter 'shiny' ignored",
                "w.conf:11: a second button named 'K'", "w.conf:19: a second remote named 'w'"}));
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
}

TEST(LircConfig, ReportsFilesThatCannotBeRead) {
  std::vector<LircRemote> remotes;
  std::string error;
  EXPECT_NE(ReadLircConfigFile("/nonexistent/lircd.conf", &remotes, nullptr, &error), kOk);
  EXPECT_NE(error.find("/nonexistent/lircd.conf"), std::string::npos);
  EXPECT_EQ(ReadLircConfigFile("/tmp", &remotes, nullptr, &error), kBadType);
}

}  // namespace
