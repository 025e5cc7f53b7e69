// koru-decode as a program: arguments, exit codes, and standard output holding report lines only.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "run_tool.h"

namespace {

const std::string kData = KORU_SOURCE_DIR "/data/";
const std::string kExpected = KORU_SOURCE_DIR "/tests/receiver/expected/";

TEST(KoruDecode, ConcatenatesFilesWithTheGap) {
  const ToolRun result = RunTool("koru-decode", "--evaluation classic --trace --gap 500000 " +
                                                    kData + "rc5_streamzap_key1_held.mode2 " +
                                                    kData + "rc5_streamzap_key5_held.mode2");
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.out, ReadAll(kExpected + "rc5_streamzap_key1_key5_gap.classic"));
  // The trace goes to standard error, and only when asked for.
  EXPECT_NE(result.err.find(" GREATWALL "), std::string::npos);
  const ToolRun quiet = RunTool("koru-decode", kData + "nec_leadtek_key1.mode2");
  EXPECT_EQ(quiet.exit_code, 0);
  EXPECT_NE(quiet.out.find(" irCE "), std::string::npos);
  EXPECT_EQ(quiet.err, "");
}

// Both evaluations print exactly what they printed when these files were written (the classic
// ones before the burst evaluation existed; the NEC key's burst one since its repeat frame
// reports the held key again).
TEST(KoruDecode, OutputOfBothEvaluationsStaysByteForByte) {
  for (const std::string name :
       {"demo", "nec_leadtek_key1", "rc5_streamzap_key1_held", "rc5_streamzap_key5_held"}) {
    for (const std::string evaluation : {"classic", "burst"}) {
      const std::string expected = ReadAll(kExpected + name + "." + evaluation);
      ASSERT_FALSE(expected.empty()) << name;
      const ToolRun result =
          RunTool("koru-decode", "--evaluation " + evaluation + " " + kData + name + ".mode2");
      EXPECT_EQ(result.exit_code, 0);
      EXPECT_EQ(result.out, expected) << name << " " << evaluation;
    }
  }
  // Burst is the default.
  EXPECT_EQ(RunTool("koru-decode", kData + "demo.mode2").out,
            RunTool("koru-decode", "--evaluation burst " + kData + "demo.mode2").out);
}

// A pipe can be read only once, yet it is checked before anything plays.
TEST(KoruDecode, APipePlaysAsTheFileDoes) {
  const std::string file = kData + "demo.mode2";
  const ToolRun piped = RunTool("koru-decode", "--trace /dev/stdin " + file, "cat " + file);
  const ToolRun read = RunTool("koru-decode", "--trace " + file + " " + file);
  EXPECT_EQ(piped.exit_code, 0);
  EXPECT_NE(piped.out, "");
  EXPECT_EQ(piped.out, read.out);
  EXPECT_EQ(piped.err, read.err);
  const ToolRun bad = RunTool("koru-decode", file + " /dev/stdin", "printf 'pulse 5\\nspace x'");
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "koru-decode: /dev/stdin:2: bad duration 'x'\n");
}

TEST(KoruDecode, AnswersHelpAndVersionAndFailsClearlyOnBadInput) {
  TempDir dir;
  const std::string bad = (dir.Path() / "bad.mode2").string();
  std::ofstream(bad) << "pulse 500\nspace 99999999999999999999\n";
  const std::string missing = (dir.Path() / "missing").string();
  struct Case {
    std::string arguments;
    int exit_code;
    std::string out;  // the start of standard output, the start of standard error
    std::string err;
  } cases[] = {
      {"--help", 0, "usage: koru-decode ", ""},
      {"--version x y", 0, "koru-decode (KORU) ", ""},
      {bad, 1, "", "koru-decode: " + bad + ":2: duration out of range '99999999999999999999'\n"},
      {missing, 1, "", "koru-decode: " + missing},
      // A folder read as an empty recording, a device never ends.
      {dir.Path().string(), 1, "",
       "koru-decode: " + dir.Path().string() + ": not a regular file, pipe or FIFO\n"},
      {"/dev/zero", 1, "", "koru-decode: /dev/zero: not a regular file, pipe or FIFO\n"},
      {"", 2, "",
       "usage: koru-decode [--gap US] [--evaluation burst|classic] [--remotes DIR|builtin "
       "[--hysteresis]] [--trace] FILE...\n"},
      {"--evaluation fast x", 2, "", "koru-decode: --evaluation is burst or classic\n"},
      {"--gap -5 x", 2, "", "koru-decode: --gap needs a whole number of microseconds\n"},
      {"--bogus x", 2, "", "koru-decode: unknown option --bogus\n"},
  };
  for (const auto& c : cases) {
    const ToolRun result = RunTool("koru-decode", c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments;
    EXPECT_TRUE(c.out.empty() ? result.out.empty() : result.out.starts_with(c.out))
        << c.arguments << ": " << result.out;
    EXPECT_TRUE(c.err.empty() ? result.err.empty() : result.err.starts_with(c.err))
        << c.arguments << ": " << result.err;
  }
  EXPECT_NE(RunTool("koru-decode", "--help").out.find("Exit status: 0"), std::string::npos);
}

}  // namespace
