// koru-decode as a program: arguments, exit codes, and standard output holding report lines only.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "temp_dir.h"

namespace {

struct Result {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// `input`, when given, is a command whose output is piped into koru-decode.
Result RunDecode(const std::string& arguments, const std::string& input = "") {
  TempDir dir;
  const std::string err_path = (dir.Path() / "stderr").string();
  // The exit code comes last on standard output, after a marker line.
  const std::string command = (input.empty() ? "" : input + " | ") +
                              KORU_BINARY_DIR "/tools/koru-decode/koru-decode " + arguments +
                              " 2>" + err_path + "; echo \"#exit $?\"";
  Result result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t got = 0;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, got);
  pclose(pipe);
  const size_t marker = result.out.rfind("#exit ");
  if (marker == std::string::npos) return result;
  result.exit_code = std::stoi(result.out.substr(marker + 6));
  result.out.erase(marker);
  std::ifstream err(err_path);
  result.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
  return result;
}

const std::string kData = KORU_SOURCE_DIR "/data/";

TEST(KoruDecode, ConcatenatesFilesWithTheGap) {
  const Result result =
      RunDecode("--evaluation classic --trace --gap 500000 " + kData +
                "rc5_streamzap_key1_held.mode2 " + kData + "rc5_streamzap_key5_held.mode2");
  EXPECT_EQ(result.exit_code, 0);
  const std::string rc5 =
      "blink=\"-11010010-01001110-*01010101000*111001100*_elevenBit\" "
      "header=210078 byte2=85 byte3=28 byte4=192";
  EXPECT_EQ(result.out,
            "0.000 irCE type=0 bits=0 blink=\"-------- -------- \"\n"
            "330.912 irCE type=6 bits=12 " +
                rc5 +
                "\n"
                "764.288 irCE type=6 bits=12 " +
                rc5 +
                "\n"
                "1808.675 irCE type=6 bits=12 " +
                rc5 +
                "\n"
                "2243.829 irCE type=6 bits=11 blink=\"-11010010-01001110-*01010101011*111001100*"
                "_elevenBit\" header=210078 byte2=85 byte3=124 byte4=192\n");
  // The trace goes to standard error, and only when asked for.
  EXPECT_NE(result.err.find(" GREATWALL "), std::string::npos);
  const Result quiet = RunDecode(kData + "nec_leadtek_key1.mode2");
  EXPECT_EQ(quiet.exit_code, 0);
  EXPECT_NE(quiet.out.find(" irCE "), std::string::npos);
  EXPECT_EQ(quiet.err, "");
}

TEST(KoruDecode, AnswersHelpAndVersionOnStandardOutput) {
  const Result help = RunDecode("--help");
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_EQ(help.out.rfind("usage: koru-decode ", 0), 0u) << help.out;
  EXPECT_NE(help.out.find("Exit status: 0"), std::string::npos) << help.out;
  const Result version = RunDecode("--version x y");
  EXPECT_EQ(version.exit_code, 0);
  EXPECT_EQ(version.out.rfind("koru-decode (KORU) ", 0), 0u) << version.out;
  EXPECT_EQ(help.err + version.err, "");
}

// Both evaluations print exactly what they printed when these files were written (the classic
// ones before the burst evaluation existed; the NEC key's burst one since its repeat frame
// reports the held key again).
TEST(KoruDecode, OutputOfBothEvaluationsStaysByteForByte) {
  for (const std::string name :
       {"demo", "nec_leadtek_key1", "rc5_streamzap_key1_held", "rc5_streamzap_key5_held"}) {
    for (const std::string evaluation : {"classic", "burst"}) {
      std::ifstream file(KORU_SOURCE_DIR "/tests/receiver/expected/" + name + "." + evaluation);
      const std::string expected((std::istreambuf_iterator<char>(file)),
                                 std::istreambuf_iterator<char>());
      ASSERT_FALSE(expected.empty()) << name;
      const Result result = RunDecode("--evaluation " + evaluation + " " + kData + name + ".mode2");
      EXPECT_EQ(result.exit_code, 0);
      EXPECT_EQ(result.out, expected) << name << " " << evaluation;
    }
  }
  // Burst is the default.
  EXPECT_EQ(RunDecode(kData + "demo.mode2").out,
            RunDecode("--evaluation burst " + kData + "demo.mode2").out);
}

// A pipe can be read only once, yet it is checked before anything plays.
TEST(KoruDecode, APipePlaysAsTheFileDoes) {
  const std::string file = kData + "demo.mode2";
  const Result piped = RunDecode("--trace /dev/stdin " + file, "cat " + file);
  const Result read = RunDecode("--trace " + file + " " + file);
  EXPECT_EQ(piped.exit_code, 0);
  EXPECT_NE(piped.out, "");
  EXPECT_EQ(piped.out, read.out);
  EXPECT_EQ(piped.err, read.err);
  const Result bad = RunDecode(file + " /dev/stdin", "printf 'pulse 5\\nspace x'");
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.out, "");
  EXPECT_EQ(bad.err, "koru-decode: /dev/stdin:2: bad duration 'x'\n");
}

TEST(KoruDecode, BadInputFailsClearly) {
  TempDir dir;
  const std::string bad = (dir.Path() / "bad.mode2").string();
  std::ofstream(bad) << "pulse 500\nspace 99999999999999999999\n";
  struct Case {
    std::string arguments;
    int exit_code;
    std::string error;
  } cases[] = {
      {bad, 1, "koru-decode: " + bad + ":2: duration out of range '99999999999999999999'\n"},
      {(dir.Path() / "missing").string(), 1, "koru-decode: " + (dir.Path() / "missing").string()},
      // A folder read as an empty recording, a device never ends.
      {dir.Path().string(), 1,
       "koru-decode: " + dir.Path().string() + ": not a regular file, pipe or FIFO\n"},
      {"/dev/zero", 1, "koru-decode: /dev/zero: not a regular file, pipe or FIFO\n"},
      {"", 2,
       "usage: koru-decode [--gap US] [--evaluation burst|classic] [--remotes DIR|builtin "
       "[--hysteresis]] [--trace] FILE...\n"},
      {"--evaluation fast x", 2, "koru-decode: --evaluation is burst or classic\n"},
      {"--gap -5 x", 2, "koru-decode: --gap needs a whole number of microseconds\n"},
      {"--bogus x", 2, "koru-decode: unknown option --bogus\n"},
  };
  for (const auto& c : cases) {
    const Result result = RunDecode(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments;
    EXPECT_EQ(result.out, "") << c.arguments;
    EXPECT_EQ(result.err.rfind(c.error, 0), 0u) << c.arguments << ": " << result.err;
  }
}

}  // namespace
