#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "crash_at_rename.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/remote_definition.h"
#include "test_files.h"

namespace koru {

namespace {

using RemoteLibrary = RemoteFolderTest;

TEST_F(RemoteLibrary, FirstStartWritesThirtyFiveMarkedFilesAndLoadsThemAllAsOriginals) {
  RemoteDefinition library(folder_);
  RemoteList list;
  EXPECT_EQ(library.LoadRemoteLibrary(&list), 35);
  EXPECT_EQ(FileCount(), 35);
  EXPECT_EQ(Read("AIWA_A"), ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/AIWA_A"));
  FileNode node(folder_ / "AIWA_A");
  EXPECT_EQ(ReadKoruType(node), kKoruRemoteFile);
  ASSERT_EQ(list.size(), 35u);
  for (const auto& record : list) {
    EXPECT_EQ(library.UpdateOriginKind(record->name_, &list), kKindOrg) << record->name_;
    EXPECT_EQ(record->kind_, kKindOrg);
    EXPECT_NE(record->check_sum_, 0);
  }
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

TEST_F(RemoteLibrary, RescanReplacesTheListCountsOnlyRemoteFilesAndConvertsTheOldMarker) {
  Write("Mine", "[ComHead] 1\n");
  Write("Chart", "x\n", kKoruChartFile);
  Write("Preset", "x\n", kKoruPresetFile);
  Write("Plain", "x\n", 0);
  Write("Old", "[ComHead] 5\n", 0);
  FileNode old(folder_ / "Old");
  const int32_t one = 1;
  old.WriteAttr(kOldKoruTypeAttr, kInt32Type, 0, &one, sizeof one);
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
  EXPECT_TRUE(trace.Contains(" 'Old' \n"));
  // The old marker is converted for the next scan.
  EXPECT_EQ(library.LookForRemotes(nullptr), 2);
  EXPECT_EQ(list.size(), 1u);
  EXPECT_EQ(library.LookForRemotes(&list), 2);
  EXPECT_EQ(RemoteDefinition::FindRemote(&list, "Old")->header_, 5);
  // A missing folder scans as empty.
  std::filesystem::remove_all(folder_);
  EXPECT_EQ(library.LookForRemotes(&list), 0);
  EXPECT_TRUE(list.empty());
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

  list.push_back(Remote("Mine", 0, 0, {{1, 7}}));
  EXPECT_EQ(library.UpdateOriginKind("Mine", &list), kKindUser);
  EXPECT_EQ(list.back()->kind_, kKindUser);
  EXPECT_EQ(list.back()->check_sum_, 7);
  EXPECT_EQ(library.UpdateOriginKind("AIWA_A", nullptr), kKindUser);

  // A user remote named like a built-in one is compared with it.
  list.back()->name_ = "Sony618";
  EXPECT_EQ(library.UpdateOriginKind("Sony618", &list), kKindMod);
}

using RemoteChart = RemoteFolderTest;

std::time_t Noon() {
  std::tm when{};
  when.tm_year = 2026 - 1900;
  when.tm_mon = 11;
  when.tm_mday = 6;
  when.tm_hour = 12;
  when.tm_min = 5;
  when.tm_isdst = -1;
  return std::mktime(&when);
}

TEST_F(RemoteChart, RowsShowKeysCodesAndOriginColoursUnderTwoHeaderRows) {
  RemoteDefinition library(folder_);
  RemoteList list;
  ASSERT_EQ(library.WriteKeysChart(&list, Noon()), kOk);
  EXPECT_EQ(Read("_Chart.html"), ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/empty_chart.html"));
  ASSERT_EQ(library.WriteCodesChart(&list, Noon()), kOk);
  EXPECT_EQ(Read("_ChartData.html"),
            ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/empty_chart_data.html"));
  FileNode node(folder_ / "_Chart.html");
  EXPECT_EQ(ReadKoruType(node), kKoruChartFile);

  list.push_back(Remote("Mine", 7, 2, {{2, 44}}));  // N1
  list.push_back(nullptr);
  list.push_back(Remote("Blank"));
  list.back()->kind_ = kKindMod;
  list.push_back(Remote("<b>A&B \"#1\"?"));  // escaped for HTML and for links

  ASSERT_EQ(library.WriteKeysChart(&list, Noon()), kOk);
  EXPECT_EQ(Read("_Chart.html"), ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/chart.html"));
  // The key chart classifies every row first: "Blank" is no built-in remote.
  EXPECT_EQ(list[2]->kind_, kKindUser);

  list[2]->kind_ = kKindMod;
  list[0]->kind_ = kKindOrg;
  ASSERT_EQ(library.WriteCodesChart(&list, Noon()), kOk);
  EXPECT_EQ(Read("_ChartData.html"),
            ReadAll(KORU_SOURCE_DIR "/tests/remotes/data/chart_data.html"));
}

TEST_F(RemoteChart, NoListOrUnwritableFolderWritesNothing) {
  RemoteDefinition library(folder_);
  TraceCapture trace;
  EXPECT_NE(library.WriteKeysChart(nullptr), kOk);
  EXPECT_TRUE(trace.Contains(" Chart4Remotes:  no list given\n"));
  RemoteList list;
  list.push_back(Remote("DENON", 0, 0, {{1, 5}}));
  std::filesystem::remove(folder_);
  EXPECT_NE(library.WriteCodesChart(&list), kOk);
  EXPECT_TRUE(trace.Contains("_ChartData.html' OpenError!\n"));
  EXPECT_NE(library.WriteKeysChart(&list), kOk);
  EXPECT_EQ(list[0]->kind_, kKindErr);  // records stay unclassified
  EXPECT_EQ(list[0]->check_sum_, 0);
  std::filesystem::create_directory(folder_);
}

}  // namespace

}  // namespace koru
