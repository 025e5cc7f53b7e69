#include <gtest/gtest.h>

#include "platform/messaging/trace.h"
#include "remotes/key_match.h"
#include "remotes/remote_definition.h"

namespace {

std::unique_ptr<RemoteDefinition> Remote(
    const char* name, int32_t header, int32_t mode,
    std::initializer_list<std::pair<int32_t, int32_t>> slot_codes) {
  auto record = std::make_unique<RemoteDefinition>();
  record->name_ = name;
  record->com_head_ = header;
  record->com_byte_ = mode;
  for (const auto& [slot, code] : slot_codes) record->SetSlot(slot, code);
  return record;
}

TEST(KeyMatch, WalkFromTheLastRecordWithCarriedKeyValue) {
  RemoteList list;
  list.push_back(Remote("OneByte", 255108, 2, {{1, 191}, {2, 42}}));
  list.push_back(Remote("Other", 111111, 2, {{1, 191}}));
  list.push_back(Remote("TwoByte", 255108, 23, {{5, 191064}}));
  list.push_back(Remote("Later", 255108, 2, {{3, 191}}));
  list.push_back(nullptr);

  struct Case {
    int32_t header, byte2, byte3;
    bool hysteresis;
    int32_t key_function;
    const char* remote;
    const char* key;
    int32_t key_value;
  };
  const Case cases[] = {
      // The later of two records with the code wins.
      {255108, 191, 64, false, 53, "Later", "N2", 191},
      // Passed over by "Later", found by the two-byte record.
      {255108, 200, 64, false, kNoKeyFunction, "-unknown-", "-?-", 200064},
      {255108, 191, 65, false, 53, "Later", "N2", 191},
      // A two-byte record that lacks the code hands on byte2 * 1000 + byte3, which no
      // one-byte record holds: "OneByte" cannot be reached behind "TwoByte".
      {255108, 42, 0, false, kNoKeyFunction, "-unknown-", "-?-", 42000},
      // With byte2 0 the carried value is byte3 itself.
      {255108, 0, 42, false, 52, "OneByte", "N1", 42},
      // Hysteresis divides byte2 for one-byte records only.
      {255108, 1919, 64, true, 53, "Later", "N2", 191},
      {111111, 191, 0, false, 51, "Other", "N0", 191},
      {123123, 191, 0, false, kUnknownRemote, "-unknown-", "-?-", 191},
  };
  for (const Case& c : cases) {
    const KeyMatch match = MatchKey(list, c.header, c.byte2, c.byte3, c.hysteresis);
    EXPECT_EQ(match.key_function, c.key_function) << c.header << "/" << c.byte2;
    EXPECT_EQ(match.remote_label, c.remote) << c.header << "/" << c.byte2;
    EXPECT_EQ(match.key_label, c.key) << c.header << "/" << c.byte2;
    EXPECT_EQ(match.key_value, c.key_value) << c.header << "/" << c.byte2;
    EXPECT_EQ(match.found, c.key_function > kUnknownRemote);
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
