// koru-import-lirc as a program: arguments, exit codes, where the files go.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <string>

#include "temp_dir.h"

namespace {

struct Result {
  int exit_code = -1;
  std::string out;
  std::string err;
};

Result RunImport(const QStringList& arguments, const std::filesystem::path& home) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("KORU_HOME", QString::fromStdString(home.string()));
  process.setProcessEnvironment(env);
  process.start(KORU_BINARY_DIR "/tools/koru-import-lirc/koru-import-lirc", arguments);
  Result result;
  if (!process.waitForFinished(60000)) return result;
  result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = process.readAllStandardOutput().toStdString();
  result.err = process.readAllStandardError().toStdString();
  return result;
}

constexpr const char* kConfig =
    "begin remote\n  name Tool_NEC\n  bits 16\n  flags SPACE_ENC|CONST_LENGTH\n"
    "  header 9000 4500\n  one 563 1687\n  zero 563 562\n  ptrail 563\n"
    "  pre_data_bits 16\n  pre_data 0xC03F\n  gap 108000\n"
    "  begin codes\n    KEY_1 0xA05F\n    KEY_2 0x609F\n  end codes\nend remote\n";

TEST(KoruImportLirc, WritesIntoTheGivenFolderAndSaysWhatItDid) {
  TempDir dir;
  const std::string config = (dir.Path() / "nec.conf").string();
  std::ofstream(config) << kConfig;
  const std::string out = (dir.Path() / "out").string();
  const Result result = RunImport(
      {"--out", QString::fromStdString(out), QString::fromStdString(config)}, dir.Path() / "home");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "Tool_NEC: 2 keys imported into 'Tool_NEC' (exact codes)\n1 remote imported into " +
                out + "\n");
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "out" / "Tool_NEC"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "home"));

  // Again: the file is kept without --replace, and nothing imported is a failure.
  const Result again = RunImport(
      {"--out", QString::fromStdString(out), QString::fromStdString(config)}, dir.Path() / "home");
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_NE(again.out.find("a remote named 'Tool_NEC' exists already"), std::string::npos);
}

TEST(KoruImportLirc, TheProgramFolderGetsTheBuiltInRemotesFirst) {
  TempDir dir;
  const std::string config = (dir.Path() / "nec.conf").string();
  std::ofstream(config) << kConfig;
  const Result result = RunImport({QString::fromStdString(config)}, dir.Path() / "home");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "home" / "_Remotes_" / "Tool_NEC"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "home" / "_Remotes_" / "LR-SAT"));
}

TEST(KoruImportLirc, UsageAndUnreadableFiles) {
  TempDir dir;
  // A FIFO nobody writes to reads as empty: the import does not wait for a writer.
  const QString fifo = QString::fromStdString((dir.Path() / "fifo.conf").string());
  ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
  struct Case {
    QStringList arguments;
    int exit_code;
    const char* in_output;
  } const cases[] = {
      {{}, 2, "usage: koru-import-lirc"},
      {{"--bogus", "x.conf"}, 2, "unknown option --bogus"},
      {{"--out"}, 2, "usage"},
      {{"--help"}, 0, "--classic"},
      {{"--version"}, 0, "koru-import-lirc (KORU) "},
      {{"--out", QString::fromStdString(dir.Path().string()), "/nonexistent.conf"},
       1,
       "/nonexistent.conf"},
      {{"--out", QString::fromStdString(dir.Path().string()), fifo}, 1, "fifo.conf: no remote"},
  };
  for (const Case& c : cases) {
    const Result result = RunImport(c.arguments, dir.Path() / "home");
    EXPECT_EQ(result.exit_code, c.exit_code) << c.arguments.join(" ").toStdString();
    EXPECT_NE((result.out + result.err).find(c.in_output), std::string::npos)
        << result.out << result.err;
  }
}

}  // namespace
