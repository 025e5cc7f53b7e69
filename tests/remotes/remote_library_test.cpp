#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "crash_at_rename.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/builtin_remotes.h"
#include "remotes/key_menu.h"
#include "remotes/remote_definition.h"
#include "settings/label_table.h"

namespace koru {

namespace {

using RemoteLibrary = RemoteFolderTest;

TEST_F(RemoteLibrary, FirstStartWritesThirtyFiveFilesAndLoadsThemAllAsOriginals) {
  RemoteDefinition library(folder_);
  RemoteList list;
  EXPECT_EQ(library.LoadRemoteLibrary(&list), 35);
  EXPECT_EQ(FileCount(), 35);
  ASSERT_EQ(list.size(), 35u);
  std::set<std::string> names;
  for (const auto& record : list) {
    names.insert(record->name_);
    EXPECT_EQ(library.UpdateOriginKind(record->name_, &list), kKindOrg) << record->name_;
    EXPECT_EQ(record->kind_, kKindOrg);
    EXPECT_NE(record->check_sum_, 0);
  }
  EXPECT_EQ(names.size(), 35u);
  const RemoteDefinition* lifetec = RemoteDefinition::FindRemote(&list, "Lifetec291");
  ASSERT_NE(lifetec, nullptr);
  EXPECT_EQ(lifetec->header_, 255108);
  EXPECT_EQ(lifetec->mode_, 23);
}

TEST_F(RemoteLibrary, AFirstStartKilledHalfwayIsCompletedWithoutTraceOfTheKill) {
  ASSERT_TRUE(CrashAtRename(10, DieAt::kBeforeRename, [this] {
    RemoteDefinition library(folder_);
    RemoteList list;
    library.LoadRemoteLibrary(&list);
  }));
  // An old version's temporary too: never marked, never a remote.
  Write(".Sony618.Ab12Cd", "; - \n", 0);
  RemoteDefinition library(folder_);
  RemoteList list;
  ASSERT_EQ(library.LookForRemotes(nullptr), 9);

  TraceCapture trace;
  EXPECT_EQ(library.LoadRemoteLibrary(&list), 35);
  EXPECT_EQ(list.size(), 35u);
  EXPECT_FALSE(trace.Contains("OOPS")) << trace.Text();
  EXPECT_EQ(FileCount(), 35);

  // Complete now: a built-in the user deletes stays deleted.
  std::filesystem::remove(folder_ / "AIWA_A");
  EXPECT_EQ(library.LoadRemoteLibrary(&list), 34);
  EXPECT_EQ(RemoteDefinition::FindRemote(&list, "AIWA_A"), nullptr);
}

TEST_F(RemoteLibrary, ABuiltInThatCannotBeWrittenIsAlertedAndWrittenAtTheNextStart) {
  std::filesystem::create_directory(folder_ / "Sony618");  // nothing can replace a folder
  std::vector<std::string> alerts;
  SetAlertPresenter([&](const std::string& text) { alerts.push_back(text); });
  struct Restore {
    ~Restore() { SetAlertPresenter(nullptr); }
  } restore;
  RemoteDefinition library(folder_);
  RemoteList list;
  EXPECT_EQ(library.LoadRemoteLibrary(&list), 34);
  ASSERT_EQ(alerts.size(), 1u);
  EXPECT_NE(alerts[0].find("'Sony618'"), std::string::npos) << alerts[0];

  std::filesystem::remove(folder_ / "Sony618");
  EXPECT_EQ(library.LoadRemoteLibrary(&list), 35);
  EXPECT_NE(RemoteDefinition::FindRemote(&list, "Sony618"), nullptr);
  EXPECT_EQ(alerts.size(), 1u);
}

TEST_F(RemoteLibrary, RescanReplacesTheListAndCountsOnlyRemoteFiles) {
  Write("Mine", "[ComHead] 1\n");
  Write("Chart", "x\n", kKoruChartFile);
  Write("Preset", "x\n", kKoruPresetFile);
  Write("Plain", "x\n", 0);
  std::filesystem::create_directory(folder_ / "Sub");
  std::filesystem::create_symlink(folder_ / "Mine", folder_ / "Link");
  RemoteDefinition library(folder_);
  RemoteList list;
  list.push_back(std::make_unique<RemoteDefinition>());
  list.push_back(nullptr);
  TraceCapture trace;
  EXPECT_EQ(library.LookForRemotes(&list), 1);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]->name_, "Mine");
  EXPECT_TRUE(trace.Contains(" clear List first... 2 Items\n"));
  EXPECT_TRUE(trace.Contains("\n[0] OOPS 'Plain' "));
  EXPECT_TRUE(trace.Contains(" '2 none-remotefiles' "));
  EXPECT_EQ(library.LookForRemotes(nullptr), 1);
  EXPECT_EQ(list.size(), 1u);
}

TEST_F(RemoteLibrary, OldMarkerIsConvertedForTheNextScan) {
  Write("Old", "[ComHead] 5\n", 0);
  FileNode node(folder_ / "Old");
  const int32_t one = 1;
  node.WriteAttr(kOldKoruTypeAttr, kInt32Type, 0, &one, sizeof one);
  RemoteDefinition library(folder_);
  RemoteList list;
  TraceCapture trace;
  EXPECT_EQ(library.LookForRemotes(&list), 0);
  EXPECT_TRUE(trace.Contains(" 'Old' \n"));
  EXPECT_EQ(library.LookForRemotes(&list), 1);
  EXPECT_EQ(list[0]->header_, 5);
}

TEST_F(RemoteLibrary, MissingFolderScansAsEmpty) {
  std::filesystem::remove(folder_);
  RemoteDefinition library(folder_);
  RemoteList list;
  EXPECT_EQ(library.LookForRemotes(&list), 0);
  std::filesystem::create_directory(folder_);
}

TEST_F(RemoteLibrary, OriginCheckComparesSumsWithTheBuiltInOfThatName) {
  RemoteDefinition library(folder_);
  library.SaveBuiltInRemotes();
  RemoteList list;
  library.LookForRemotes(&list);
  RemoteDefinition* aiwa = RemoteDefinition::FindRemote(&list, "AIWA_A");
  ASSERT_NE(aiwa, nullptr);

  aiwa->SetSlot(1, aiwa->Slot(1) - 5);
  EXPECT_EQ(library.UpdateOriginKind("AIWA_A", &list), kKindMod);
  EXPECT_EQ(aiwa->kind_, kKindMod);
  aiwa->SetSlot(2, aiwa->Slot(2) + 5);  // same total again
  EXPECT_EQ(library.UpdateOriginKind("AIWA_A", &list), kKindOrg);

  list.push_back(std::make_unique<RemoteDefinition>());
  list.back()->name_ = "Mine";
  list.back()->SetSlot(1, 7);
  EXPECT_EQ(library.UpdateOriginKind("Mine", &list), kKindUser);
  EXPECT_EQ(list.back()->kind_, kKindUser);
  EXPECT_EQ(list.back()->check_sum_, 7);
  EXPECT_EQ(library.UpdateOriginKind("AIWA_A", nullptr), kKindUser);

  // A user remote named like a built-in one is compared with it.
  list.back()->name_ = "Sony618";
  EXPECT_EQ(library.UpdateOriginKind("Sony618", &list), kKindMod);
}

class FakeMenu : public KeyMenu {
 public:
  bool SetItemTo(const char* label, bool enable, bool mark) override {
    calls.push_back({label, enable, mark});
    return true;
  }
  struct Call {
    std::string label;
    bool enable, mark;
  };
  std::vector<Call> calls;
};

TEST(RemoteMenu, MarksTaughtKeysOfTheReducedSet) {
  RemoteDefinition record;
  record.SetSlot(1, 5);   // N0
  record.SetSlot(25, 6);  // FAV (reduced)
  record.SetSlot(22, 7);  // EXIT (not reduced)
  FakeMenu menu;
  TraceCapture trace;
  record.SetMenuCheckMarks(&menu, 0, "", 0);
  ASSERT_EQ(menu.calls.size(), 31u);
  std::map<std::string, bool> marks;
  for (const auto& call : menu.calls) {
    EXPECT_TRUE(call.enable);
    marks[call.label] = call.mark;
  }
  EXPECT_TRUE(marks["N0"] && marks["FAV"]);
  EXPECT_FALSE(marks["N1"]);
  EXPECT_EQ(marks.count("EXIT"), 0u);

  menu.calls.clear();
  record.SetMenuCheckMarks(&menu, 1, "", 21);  // slot index 21: EXIT, marked though not reduced
  ASSERT_EQ(menu.calls.size(), 1u);
  EXPECT_EQ(menu.calls[0].label, getLabel(72));
  EXPECT_TRUE(menu.calls[0].mark);

  menu.calls.clear();
  record.SetMenuCheckMarks(nullptr, 0, "", 0);
  record.SetMenuCheckMarks(&menu, 0, nullptr, 0);
  record.SetMenuCheckMarks(&menu, 1, "", 50);  // no such slot
  EXPECT_TRUE(menu.calls.empty());
}

}  // namespace

}  // namespace koru
