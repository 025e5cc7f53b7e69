#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/remote_definition.h"
#include "test_files.h"

namespace koru {

namespace {

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
