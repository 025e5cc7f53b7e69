#include "platform/lines/mode2_recording.h"

#include <gtest/gtest.h>

namespace {

TEST(Mode2, ParsesAndMergesEntries) {
  constexpr uint64_t kMax = ~uint64_t{0};
  struct Case {
    const char* text;
    Mode2Recording expected;
  } cases[] = {
      {"pulse 100\nspace 200\n", {{true, 100}, {false, 200}}},
      {"+100 -200\t+300\n-1", {{true, 100}, {false, 200}, {true, 300}, {false, 1}}},
      {"# comment\n\n  pulse 5\npulse 7\r\nspace 0\nspace 3\ntimeout 4", {{true, 12}, {false, 7}}},
      // Zero-length entries go first, then neighbours of one kind are added up.
      {"pulse 5\nspace 0\npulse 6", {{true, 11}}},
      {"pulse 18446744073709551615", {{true, kMax}}},
  };
  for (const auto& c : cases) {
    Mode2Recording recording{{true, 1}};
    std::string error;
    EXPECT_EQ(ParseMode2(c.text, "rec", &recording, &error), kOk) << c.text << error;
    EXPECT_EQ(recording, c.expected) << c.text;
  }
}

TEST(Mode2, BadRecordingsNameFileAndLine) {
  struct Case {
    const char* text;
    const char* error;
  } cases[] = {
      {"pulse -5", "rec:1: negative duration '-5'"},
      {"pulse 1\n\ngarbage here", "rec:3: unexpected 'garbage'"},
      {"pulse", "rec:1: expected 'pulse N'"},
      {"+12x", "rec:1: bad duration '12x'"},
      {"pulse 18446744073709551616", "rec:1: duration out of range '18446744073709551616'"},
      {"+1 --5", "rec:1: negative duration '-5'"},
      // Binary junk is shown printable and cut short.
      {"\x01\xff"
       "abcdefghijklmnopqrstuvwxyz",
       "rec:1: unexpected '??abcdefghijklmnopqrstuv...'"},
  };
  for (const auto& c : cases) {
    Mode2Recording recording;
    std::string error;
    EXPECT_EQ(ParseMode2(c.text, "rec", &recording, &error), kBadValue) << c.text;
    EXPECT_EQ(error, c.error);
  }
}

TEST(Mode2Timeline, LevelChangesFromTheStart) {
  const Mode2Recording recording{{false, 50}, {true, 10}, {false, 20}, {true, 5}};
  const Mode2Timeline timeline(recording, 1000);
  // A leading space continues the idle level; after the last pulse the line is at space.
  int64_t change = 0;
  ASSERT_TRUE(timeline.NextChange(0, &change));
  EXPECT_EQ(change, 1050);
  ASSERT_TRUE(timeline.NextChange(1050, &change));
  EXPECT_EQ(change, 1060);
  ASSERT_TRUE(timeline.NextChange(1080, &change));
  EXPECT_EQ(change, 1085);
  EXPECT_FALSE(timeline.NextChange(1085, &change));
  EXPECT_FALSE(timeline.PulseAt(1049));
  EXPECT_TRUE(timeline.PulseAt(1084));
  EXPECT_FALSE(timeline.PulseAt(5000));
}

TEST(Mode2Timeline, HugeDurationsSaturate) {
  const Mode2Recording recording{{true, ~uint64_t{0}}, {false, ~uint64_t{0}}, {true, 7}};
  const Mode2Timeline timeline(recording, 100000);
  int64_t change = 0;
  ASSERT_TRUE(timeline.NextChange(100000, &change));
  EXPECT_GT(change, 100000);
  EXPECT_TRUE(timeline.PulseAt(200000));
}

}  // namespace
