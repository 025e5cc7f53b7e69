// koru-import-lirc as a program: arguments, exit codes, where the files go.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "run_tool.h"

namespace koru {

namespace {

const std::string kConfig = KORU_SOURCE_DIR "/tests/lirc/data/tool_nec.conf";

// With its program folder in `dir`/home.
ToolRun RunImport(const TempDir& dir, const std::string& arguments) {
  return RunTool("koru-import-lirc", arguments, "", "KORU_HOME='" + dir.Path().string() + "/home'");
}

TEST(KoruImportLirc, WritesWhereItIsToldSaysWhatItDidAndRefusesWhatItCannot) {
  TempDir dir;
  // A FIFO nobody writes to reads as empty: the import does not wait for a writer.
  const std::string fifo = (dir.Path() / "fifo.conf").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string out = (dir.Path() / "out").string();
  const struct {
    std::string arguments;
    int exit_code;
    std::string in_output;
  } runs[] = {
      {"--out '" + out + "' " + kConfig, 0,
       "Tool_NEC: 2 keys imported into 'Tool_NEC' (exact codes)\n1 remote imported into " + out +
           "\n"},
      // Again: the file is kept without --replace, and nothing imported is a failure.
      {"--out '" + out + "' " + kConfig, 1, "a remote named 'Tool_NEC' exists already"},
      {"", 2, "usage: koru-import-lirc"},
      {"--bogus x.conf", 2, "unknown option --bogus"},
      {"--out", 2, "usage"},
      {"--help", 0, "--classic"},
      {"--version", 0, "koru-import-lirc (KORU) "},
      {"--out '" + out + "' /nonexistent.conf", 1, "/nonexistent.conf"},
      {"--out '" + out + "' '" + fifo + "'", 1, "fifo.conf: no remote"},
  };
  for (const auto& run : runs) {
    const ToolRun result = RunImport(dir, run.arguments);
    EXPECT_EQ(result.exit_code, run.exit_code) << run.arguments;
    EXPECT_NE((result.out + result.err).find(run.in_output), std::string::npos)
        << result.out << result.err;
  }
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "out" / "Tool_NEC"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "home")) << "--out leaves the program folder";
  // Without --out: into the program folder, after the built-in remotes.
  EXPECT_EQ(RunImport(dir, kConfig).exit_code, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "home" / "_Remotes_" / "Tool_NEC"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "home" / "_Remotes_" / "LR-SAT"));
}

}  // namespace

}  // namespace koru
