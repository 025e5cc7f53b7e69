#include <gtest/gtest.h>

#include "platform/messaging/trace.h"
#include "remote_folder.h"
#include "remotes/key_match.h"
#include "remotes/remote_definition.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

TEST(KeyMatch, WalkFromTheLastRecordWithCarriedKeyValue) {
  RemoteList list;
  list.push_back(Remote("OneByte", 255108, 2, {{1, 191}, {2, 42}}));
  list.push_back(Remote("Other", 111111, 2, {{1, 191}}));
  list.push_back(Remote("TwoByte", 255108, 23, {{5, 191064}}));
  list.push_back(Remote("Later", 255108, 2, {{3, 191}}));
  list.push_back(nullptr);

  for (const auto& row : ReadTable("remotes/data/key_matches.tsv", 5)) {
    const KeyMatch match =
        MatchKey(list, CellNumber(row[0]), CellNumber(row[1]), CellNumber(row[2]), row[3] == "1");
    EXPECT_EQ(std::to_string(match.key_function) + " " + match.remote_label + " " +
                  match.key_label + " " + std::to_string(match.key_value),
              row[4])
        << row[0] << "/" << row[1];
    EXPECT_EQ(match.found, match.key_function > kUnknownRemote);
  }
}

TEST(KeyMatch, RecordOfTheMatchOrTheFirstOfTheList) {
  RemoteList list;
  list.push_back(Remote("First", 1, 2, {{1, 5}}));
  list.push_back(Remote("Second", 2, 2, {{1, 5}}));
  TraceCapture trace;
  KeyMatch match = MatchKey(list, 2, 5, 0, false);
  EXPECT_EQ(match.remote, list[1].get());
  EXPECT_TRUE(trace.Contains(" ask Remote: 2   Key:5|0  \n"));
  match = MatchKey(list, 3, 5, 0, false);
  EXPECT_EQ(match.remote, list[0].get());
  EXPECT_FALSE(match.shown_value);
  match = MatchKey(RemoteList{}, 3, 5, 0, false);
  EXPECT_EQ(match.remote, nullptr);
  EXPECT_EQ(match.remote_label, "-unknown-");
  EXPECT_EQ(match.key_function, kUnknownRemote);
}

}  // namespace

}  // namespace koru
