// Importing LIRC remotes: the remote files written from configurations recognise what LIRC's
// irsimsend sends from the same configurations, key by key; the report names what was left out.
#include "lirc/lirc_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "irsimsend.h"
#include "lirc/lirc_key_names.h"
#include "lirc/lirc_signal.h"
#include "platform/messaging/trace.h"
#include "remotes/key_match.h"
#include "remotes/remote_folder.h"
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
  TraceCapture quiet_;
};

TEST_F(LircImport, ImportedRemotesRecogniseIrsimsendRecordingsKeyByKey) {
  if (!IrsimsendInstalled()) GTEST_SKIP() << "irsimsend is not installed";
  const std::string file = ReadAll(kData + "import_remotes.conf");
  const std::vector<LircRemote> all = Parse(file);
  ASSERT_EQ(all.size(), 8u);
  for (const LircRemote& remote : all) {
    SCOPED_TRACE(remote.name);
    const std::string text = OneRemoteText(file, remote);
    const std::vector<LircRemote> remotes = {remote};
    const std::vector<LircImportReport> reports = ImportLircRemotes(remotes, {.folder = folder_});
    ASSERT_EQ(reports.size(), 1u);
    const LircImportReport& report = reports[0];
    ASSERT_EQ(report.file, remotes[0].name) << report.refused;
    EXPECT_EQ(report.imported.size(), remotes[0].buttons.size()) << LircImportText(report);

    RemoteList list;
    list.push_back(std::make_unique<RemoteDefinition>(folder_));
    list.back()->RemoteLoad(report.file);
    ASSERT_TRUE(list.back()->IsExact());
    for (const LircButton& button : remotes[0].buttons) {
      // As the second press too, after another key: its toggle bits differ from the first's.
      const LircButton& other = remotes[0].buttons[&button == &remotes[0].buttons[0] ? 1 : 0];
      const auto two = IrsimsendPeriods(text, "", 1, {other.name, button.name});
      std::vector<int32_t> first;
      ASSERT_TRUE(two.has_value()) << button.name;
      ASSERT_EQ(LircButtonSignal(remotes[0], other, 0, &first, nullptr), kOk);
      ASSERT_GT(two->size(), first.size());
      const auto once = IrsimsendPeriods(text, button.name, 1);
      ASSERT_TRUE(once.has_value()) << button.name;
      const std::vector<int32_t> presses[] = {
          *once, std::vector<int32_t>(two->begin() + first.size(), two->end())};
      for (const std::vector<int32_t>& press : presses) {
        const std::optional<LircReceived> received = ReceiveLircSignal(press);
        ASSERT_TRUE(received && received->exact) << button.name;
        const KeyMatch match = MatchExactKey(list, *received->exact);
        EXPECT_EQ(match.remote_label, report.file);
        EXPECT_EQ(match.key_function, KeyFunctionOfLircName(button.name))
            << button.name << " " << ExactField(*received->exact);
      }
    }
    EXPECT_EQ(report.toggling, std::vector<std::string>{}) << LircImportText(report);
  }
}

TEST_F(LircImport, ClassicFilesOnlyWhereEveryClassicCodeIsDistinct) {
  LircImportOptions options{.folder = folder_};
  options.classic = true;
  const std::vector<LircRemote> nec = {Named("NEC_Remote")};
  const LircImportReport report = ImportLircRemotes(nec, options).at(0);
  ASSERT_TRUE(report.classic) << LircImportText(report);
  RemoteList list;
  list.push_back(std::make_unique<RemoteDefinition>(folder_));
  list.back()->RemoteLoad(report.file);
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

TEST_F(LircImport, ReportsWhatWasNotImportedAndWhy) {
  std::string text;
  for (const LircImportReport& report :
       ImportLircRemotes(Parse(ReadAll(kData + "import_report.conf")), {.folder = folder_}))
    text += LircImportText(report);
  EXPECT_EQ(text, ReadAll(kData + "import_report.txt"));
}

TEST_F(LircImport, KeepsFilesOfTheSameNameUnlessAskedToReplaceThem) {
  const std::vector<LircRemote> nec = {Named("NEC_Remote")};
  Write("NEC_Remote", "[ComHead] 1\n[ComByte] 2\n[ComData] 5,\n");
  LircImportReport report = ImportLircRemotes(nec, {.folder = folder_}).at(0);
  EXPECT_EQ(report.refused, "a remote named 'NEC_Remote' exists already");
  EXPECT_EQ(Read("NEC_Remote"), "[ComHead] 1\n[ComByte] 2\n[ComData] 5,\n");

  LircImportOptions replace{.folder = folder_};
  replace.replace = true;
  EXPECT_EQ(ImportLircRemotes(nec, replace).at(0).file, "NEC_Remote");
  EXPECT_NE(Read("NEC_Remote").find("[ComByte] 40"), std::string::npos);

  // A file of another kind is never replaced; a name with '/' stays in the folder.
  Write("NEC_Remote", "chart", kKoruChartFile);
  EXPECT_EQ(ImportLircRemotes(nec, replace).at(0).refused,
            "'NEC_Remote' in the remote folder is no remote file");
  std::vector<LircRemote> slashed = nec;
  slashed[0].name = "START/STOP";
  EXPECT_EQ(ImportLircRemotes(slashed, {.folder = folder_}).at(0).file, "START_STOP");
  // Control characters neither reach a file name nor a terminal; a long name is cut between
  // characters ("é" is two bytes, the 78th and 79th).
  const struct {
    std::string lirc_name, file;
  } names[] = {
      {"\x1b]0;owned\x07Title", "_]0;owned_Title"},
      {"C1\xc2\x9b"
       "31m",
       "C1?31m"},
      {std::string(77, 'a') + "\xc3\xa9z", std::string(77, 'a')},
  };
  for (const auto& n : names) {
    std::vector<LircRemote> named = nec;
    named[0].name = n.lirc_name;
    named[0].buttons.at(0).name = "KEY_1\x1b[2J";
    const LircImportReport imported = ImportLircRemotes(named, replace).at(0);
    EXPECT_EQ(imported.file, n.file);
    const std::string text = LircImportText(imported);
    EXPECT_EQ(text.find_first_of("\x1b\x07\x9b"), std::string::npos) << text;
  }
  // Two remotes of one name in one import: the second is not written over the first.
  std::vector<LircRemote> twice = {nec[0], nec[0]};
  twice[0].name = twice[1].name = "Twice";
  const auto reports = ImportLircRemotes(twice, {.folder = folder_});
  EXPECT_EQ(reports[0].file, "Twice");
  EXPECT_EQ(reports[1].refused, "a remote named 'Twice' was imported before from these files");
}

}  // namespace

namespace {

// Every remote of the database, with its file.
std::vector<std::pair<std::string, LircRemote>> DatabaseRemotes() {
  std::vector<std::pair<std::string, LircRemote>> all;
  for (const std::string& file : LircDatabaseFiles()) {
    std::vector<LircRemote> remotes;
    if (ReadLircConfigFile(file, &remotes, nullptr, nullptr) != kOk) continue;
    for (LircRemote& remote : remotes) all.emplace_back(file, std::move(remote));
  }
  return all;
}

}  // namespace

TEST_F(LircImport, EveryRemoteImportedFromTheDatabaseRecognisesItsIrsimsendRecordings) {
  if (!IrsimsendInstalled()) GTEST_SKIP() << "irsimsend is not installed";
  const auto all = DatabaseRemotes();
  if (all.empty()) GTEST_SKIP() << "the LIRC remote database is not installed";
  int32_t remotes_imported = 0, keys_checked = 0;
  for (const auto& [file, remote] : all) {
    if (IrsimsendSlipsPeriods(remote)) continue;
    const LircImportReport report = ImportLircRemotes({remote}, {.folder = folder_}).at(0);
    if (report.file.empty()) continue;
    ++remotes_imported;
    SCOPED_TRACE(file + " " + remote.name);
    RemoteList list;
    list.push_back(std::make_unique<RemoteDefinition>(folder_));
    list.back()->RemoteLoad(report.file);
    // All imported keys in one run of irsimsend, each a new press (toggle bits flip).
    std::vector<const LircButton*> keys;
    for (const LircButton& button : remote.buttons)
      for (const std::string& line : report.imported)
        if (line.rfind(button.name + " ", 0) == 0 &&
            std::find(keys.begin(), keys.end(), &button) == keys.end())
          keys.push_back(&button);
    std::vector<std::string> names;
    for (const LircButton* key : keys) names.push_back(key->name);
    const auto lirc = IrsimsendPeriods(OneRemoteText(ReadAll(file), remote), "", 1, names);
    ASSERT_TRUE(lirc.has_value());
    size_t at = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
      std::vector<int32_t> press;
      ASSERT_EQ(LircButtonSignal(remote, *keys[i], 0, &press, nullptr, static_cast<int32_t>(i)),
                kOk);
      ASSERT_LE(at + press.size(), lirc->size());
      const std::vector<int32_t> recorded(lirc->begin() + at, lirc->begin() + at + press.size());
      at += press.size();
      // A key reported as toggling is recognised only on the presses like the imported one.
      const bool toggling = std::find(report.toggling.begin(), report.toggling.end(),
                                      keys[i]->name) != report.toggling.end();
      if (toggling && i % 2 == 1) continue;
      const std::optional<LircReceived> received = ReceiveLircSignal(recorded);
      ASSERT_TRUE(received && received->exact) << keys[i]->name;
      EXPECT_EQ(MatchExactKey(list, *received->exact).key_function,
                KeyFunctionOfLircName(keys[i]->name))
          << keys[i]->name;
      ++keys_checked;
    }
  }
  EXPECT_GT(remotes_imported, 30);
  RecordProperty("remotes", remotes_imported);
  RecordProperty("keys", keys_checked);
}

TEST_F(LircImport, EveryDatabaseRemoteGivesEachKeyADistinctExactCode) {
  const auto all = DatabaseRemotes();
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

}  // namespace koru
