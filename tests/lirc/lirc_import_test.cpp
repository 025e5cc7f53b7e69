// Importing LIRC remotes: the remote files written from configurations recognise what LIRC's
// irsimsend sends from the same configurations, key by key; the report names what was left out.
// And koru-import-lirc as a program.
#include "lirc/lirc_import.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "irsimsend.h"
#include "lirc/lirc_key_names.h"
#include "lirc/lirc_signal.h"
#include "platform/messaging/trace.h"
#include "remotes/key_match.h"
#include "remotes/remote_folder.h"
#include "run_tool.h"
#include "test_files.h"

namespace koru {

namespace {

const std::string kData = KORU_SOURCE_DIR "/tests/lirc/data/";

class LircImport : public RemoteFolderTest {
 protected:
  std::vector<LircRemote> Parse(const std::string& text) {
    std::vector<LircRemote> remotes;
    std::string error;
    EXPECT_EQ(ParseLircConfig(text, "test.conf", &remotes, nullptr, &error), kOk) << error;
    return remotes;
  }
  // One remote of import_remotes.conf, by name.
  LircRemote Named(const std::string& name) {
    for (const LircRemote& remote : Parse(ReadAll(kData + "import_remotes.conf")))
      if (remote.name == name) return remote;
    ADD_FAILURE() << name;
    return {};
  }
  // Sends the presses of `keys` through irsimsend in one run, each a new press (toggle bits
  // flip), and checks that the remote file of `report` recognises every one; a key the report
  // calls toggling only on the presses like the imported one.
  void ExpectPressesRecognised(const std::string& file_text, const LircRemote& remote,
                               const std::vector<const LircButton*>& keys,
                               const LircImportReport& report) {
    RemoteList list;
    list.push_back(Load(report.file));
    ASSERT_TRUE(list.back()->IsExact());
    std::vector<std::string> names;
    for (const LircButton* key : keys) names.push_back(key->name);
    const auto lirc = IrsimsendPeriods(file_text, remote, 1, names);
    ASSERT_TRUE(lirc.has_value());
    size_t at = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
      std::vector<int32_t> press;
      ASSERT_EQ(LircButtonSignal(remote, *keys[i], 0, &press, nullptr, static_cast<int32_t>(i)),
                kOk);
      ASSERT_LE(at + press.size(), lirc->size());
      const std::vector<int32_t> recorded(lirc->begin() + at, lirc->begin() + at + press.size());
      at += press.size();
      if (i % 2 == 1 && std::ranges::count(report.toggling, keys[i]->name) > 0) continue;
      const std::optional<LircReceived> received = ReceiveLircSignal(recorded);
      ASSERT_TRUE(received && received->exact) << keys[i]->name;
      EXPECT_EQ(MatchExactKey(list, *received->exact).key_function,
                KeyFunctionOfLircName(keys[i]->name))
          << keys[i]->name << " " << ExactField(*received->exact);
    }
  }
  TraceCapture quiet_;
};

TEST_F(LircImport, ImportedRemotesRecogniseIrsimsendRecordingsKeyByKey) {
  if (!IrsimsendInstalled()) GTEST_SKIP() << "irsimsend is not installed";
  const std::string file = ReadAll(kData + "import_remotes.conf");
  const std::vector<LircRemote> all = Parse(file);
  ASSERT_EQ(all.size(), 8u);
  for (const LircRemote& remote : all) {
    SCOPED_TRACE(remote.name);
    const LircImportReport report = ImportLircRemotes({remote}, {.folder = folder_}).at(0);
    ASSERT_EQ(report.file, remote.name) << report.refused;
    EXPECT_EQ(report.imported.size(), remote.buttons.size()) << LircImportText(report);
    EXPECT_EQ(report.toggling, std::vector<std::string>{}) << LircImportText(report);
    // Every key alone, and as the second press after another: its toggle bits differ.
    for (const LircButton& button : remote.buttons) {
      ExpectPressesRecognised(file, remote, {&button}, report);
      ExpectPressesRecognised(
          file, remote, {&remote.buttons[&button == &remote.buttons[0] ? 1 : 0], &button}, report);
    }
  }
}

TEST_F(LircImport, ClassicFilesOnlyWhereEveryClassicCodeIsDistinct) {
  LircImportOptions options{.folder = folder_};
  options.classic = true;
  const std::vector<LircRemote> nec = {Named("NEC_Remote")};
  const LircImportReport report = ImportLircRemotes(nec, options).at(0);
  ASSERT_TRUE(report.classic) << LircImportText(report);
  RemoteList list;
  list.push_back(Load(report.file));
  EXPECT_FALSE(list.back()->IsExact());
  for (const LircButton& button : nec[0].buttons) {
    std::vector<int32_t> periods;
    ASSERT_EQ(LircButtonSignal(nec[0], button, 0, &periods, nullptr), kOk);
    const std::optional<LircReceived> received = ReceiveLircSignal(periods);
    ASSERT_TRUE(received);
    KeyMatch match;
    ASSERT_TRUE(MatchCodeText(list, received->code_text, false, &match));
    EXPECT_EQ(match.key_function, KeyFunctionOfLircName(button.name)) << button.name;
  }

  // Sony's classic decoder gives one text for many keys: the file keeps exact codes.
  const LircImportReport sony = ImportLircRemotes({Named("Sony_Remote")}, options).at(0);
  EXPECT_FALSE(sony.classic);
  EXPECT_NE(sony.file, "");
  EXPECT_NE(sony.classic_note, "");
}

TEST_F(LircImport, ReportsWhatWasNotImportedAndWhyAndReplacesOnlyRemoteFilesWhenAsked) {
  const std::string existing = "[ComHead] 1\n[ComByte] 2\n[ComData] 5,\n";
  Write("Existing", existing);
  Write("Chart", "chart", kKoruChartFile);
  const std::vector<LircRemote> remotes = Parse(ReadAll(kData + "import_report.conf"));
  std::string text;
  for (const LircImportReport& report : ImportLircRemotes(remotes, {.folder = folder_}))
    text += LircImportText(report);
  EXPECT_EQ(text, ReadAll(kData + "import_report.txt"));
  EXPECT_EQ(Read("Existing"), existing);
  const auto replaced = ImportLircRemotes(remotes, {.folder = folder_, .replace = true});
  EXPECT_EQ(replaced.at(3).file, "Existing");
  EXPECT_NE(Read("Existing").find("[ComByte] 40"), std::string::npos);
  EXPECT_EQ(replaced.at(4).refused, "'Chart' in the remote folder is no remote file");
}

TEST_F(LircImport, EveryRemoteImportedFromTheDatabaseRecognisesItsIrsimsendRecordings) {
  if (!IrsimsendInstalled()) GTEST_SKIP() << "irsimsend is not installed";
  const auto all = LircDatabaseRemotes();
  if (all.empty()) GTEST_SKIP() << "the LIRC remote database is not installed";
  int32_t remotes_imported = 0;
  for (const auto& [file, remote] : all) {
    if (IrsimsendSlipsPeriods(remote)) continue;
    const LircImportReport report = ImportLircRemotes({remote}, {.folder = folder_}).at(0);
    if (report.file.empty()) continue;
    ++remotes_imported;
    SCOPED_TRACE(file + " " + remote.name);
    // Every imported key once.
    std::vector<const LircButton*> keys;
    for (const LircButton& button : remote.buttons)
      if (std::ranges::any_of(report.imported, [&](const std::string& line) {
            return line.starts_with(button.name + " ");
          }))
        keys.push_back(&button);
    ExpectPressesRecognised(ReadAll(file), remote, keys, report);
  }
  EXPECT_GT(remotes_imported, 30);
  RecordProperty("remotes", remotes_imported);
}

TEST_F(LircImport, EveryDatabaseRemoteGivesEachKeyADistinctExactCode) {
  const auto all = LircDatabaseRemotes();
  if (all.empty()) GTEST_SKIP() << "the LIRC remote database is not installed";
  int32_t keys = 0;
  for (const auto& [file, remote] : all) {
    if (!LircSignalProblem(remote).empty()) continue;
    SCOPED_TRACE(file + " " + remote.name);
    std::map<std::string, std::string> sender;  // exact code -> the LIRC code that gave it
    for (const LircButton& button : remote.buttons) {
      std::vector<int32_t> periods;
      if (LircButtonSignal(remote, button, 0, &periods, nullptr) != kOk) continue;
      const std::optional<LircReceived> received = ReceiveLircSignal(periods);
      ASSERT_TRUE(received && received->exact) << button.name;
      std::string sent;
      for (const uint64_t c : button.codes) sent += std::to_string(c) + " ";
      for (const int32_t p : button.raw) sent += std::to_string(p) + " ";
      const auto [at, fresh] = sender.emplace(ExactField(*received->exact), sent);
      EXPECT_TRUE(fresh || at->second == sent) << button.name << " " << at->first;
      ++keys;
    }
  }
  EXPECT_GT(keys, 1700);
}

// koru-import-lirc: arguments, exit codes, where the files go.
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
