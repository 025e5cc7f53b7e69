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

TEST(KoruImportLirc, WritesIntoTheGivenFolderOrTheProgramFolderAndSaysWhatItDid) {
  TempDir dir;
  const std::string out = (dir.Path() / "out").string();
  const ToolRun result = RunImport(dir, "--out '" + out + "' " + kConfig);
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "Tool_NEC: 2 keys imported into 'Tool_NEC' (exact codes)\n1 remote imported into " +
                out + "\n");
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "out" / "Tool_NEC"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "home"));

  // Again: the file is kept without --replace, and nothing imported is a failure.
  const ToolRun again = RunImport(dir, "--out '" + out + "' " + kConfig);
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_NE(again.out.find("a remote named 'Tool_NEC' exists already"), std::string::npos);

  // Without --out: into the program folder, after the built-in remotes.
  EXPECT_EQ(RunImport(dir, kConfig).exit_code, 0);
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "home" / "_Remotes_" / "Tool_NEC"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "home" / "_Remotes_" / "LR-SAT"));
}

TEST(KoruImportLirc, UsageAndUnreadableFiles) {
  TempDir dir;
  // A FIFO nobody writes to reads as empty: the import does not wait for a writer.
  const std::string fifo = (dir.Path() / "fifo.conf").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string out = "--out '" + dir.Path().string() + "' ";
  const struct {
    std::string arguments;
    int exit_code;
    const char* in_output;
  } cases[] = {
      {"", 2, "usage: koru-import-lirc"},
      {"--bogus x.conf", 2, "unknown option --bogus"},
      {"--out", 2, "usage"},
      {"--help", 0, "--classic"},
      {"--version", 0, "koru-import-lirc (KORU) "},
      {out + "/nonexistent.conf", 1, "/nonexistent.conf"},
      {out + "'" + fifo + "'", 1, "fifo.conf: no remote"},
  };
  for (const auto& c : cases) {
    const ToolRun result = RunImport(dir, c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments;
    EXPECT_NE((result.out + result.err).find(c.in_output), std::string::npos)
        << result.out << result.err;
  }
}

}  // namespace

}  // namespace koru
