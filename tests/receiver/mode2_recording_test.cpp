#include "platform/lines/mode2_recording.h"
#include "platform/lines/mode2_timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <random>

namespace {

TEST(Mode2, ParsesAndMergesEntries) {
  struct Case {
    const char* text;
    Mode2Recording expected;
  } cases[] = {
      {"pulse 100\nspace 200\n", {{true, 100}, {false, 200}}},
      {"+100 -200\t+300\n-1", {{true, 100}, {false, 200}, {true, 300}, {false, 1}}},
      {"# comment\n\n  pulse 5\npulse 7\r\nspace 0\nspace 3\ntimeout 4", {{true, 12}, {false, 7}}},
      // Zero-length entries go first, then neighbours of one kind are added up.
      {"pulse 5\nspace 0\npulse 6", {{true, 11}}},
      {"pulse 86400000000", {{true, kLongestMode2Duration}}},
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
      // Past a day: the wait for it would overflow the clock.
      {"space 10000000000000000", "rec:1: duration out of range '10000000000000000'"},
      {"+1 -86400000001", "rec:1: duration out of range '86400000001'"},
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
  Mode2Timeline timeline(std::make_unique<Mode2MemorySource>(recording), 1000);
  // A leading space continues the idle level; after the last pulse the line is at space.
  EXPECT_FALSE(timeline.PulseAt(1049));
  EXPECT_TRUE(timeline.PulseAt(1084));
  int64_t change = 0;
  bool pulse = false;
  ASSERT_TRUE(timeline.NextChange(0, &change, &pulse));
  EXPECT_EQ(change, 1050);
  EXPECT_TRUE(pulse);
  ASSERT_TRUE(timeline.NextChange(1050, &change, &pulse));
  EXPECT_EQ(change, 1060);
  EXPECT_FALSE(pulse);
  ASSERT_TRUE(timeline.NextChange(1080, &change, &pulse));
  EXPECT_EQ(change, 1085);
  EXPECT_FALSE(pulse);
  EXPECT_FALSE(timeline.NextChange(1085, &change));
  EXPECT_FALSE(timeline.PulseAt(5000));
}

TEST(Mode2Timeline, HugeDurationsSaturate) {
  const Mode2Recording recording{{true, ~uint64_t{0}}, {false, ~uint64_t{0}}, {true, 7}};
  Mode2Timeline timeline(std::make_unique<Mode2MemorySource>(recording), 100000);
  EXPECT_TRUE(timeline.PulseAt(200000));
  int64_t change = 0;
  ASSERT_TRUE(timeline.NextChange(100000, &change));
  EXPECT_GT(change, 100000);
}

// The timeline reads its entries as it goes: every answer must be the one the whole recording,
// laid out at once, gives. Entries of length 0, repeated kinds and saturating sums included.
TEST(Mode2Timeline, PlayedAsItIsReadItAgreesWithTheWholeRecording) {
  std::mt19937_64 random(17);
  for (int round = 0; round < 300; ++round) {
    Mode2Recording raw;
    const int entries = static_cast<int>(random() % 40);
    for (int i = 0; i < entries; ++i) {
      const uint64_t pick = random() % 10;
      const uint64_t length = pick == 0   ? 0
                              : pick == 1 ? ~uint64_t{0} >> (random() % 3)
                                          : random() % 3000;
      raw.push_back({random() % 3 != 0 ? i % 2 == 0 : random() % 2 == 0, length});
    }
    // The whole layout: merged entries, a change where the kind changes, a saturated time
    // repeating itself cancels out.
    Mode2Recording merged;
    AppendMode2(&merged, raw);
    constexpr int64_t kFar = std::numeric_limits<int64_t>::max() / 4;
    std::vector<int64_t> changes;
    bool level = false;
    int64_t time = 500;
    const auto toggle = [&](int64_t at) {
      if (!changes.empty() && changes.back() == at)
        changes.pop_back();
      else
        changes.push_back(at);
    };
    for (const Mode2Entry& entry : merged) {
      if (entry.pulse != level) toggle(time);
      level = entry.pulse;
      time = entry.microseconds >= static_cast<uint64_t>(kFar - time)
                 ? kFar
                 : time + static_cast<int64_t>(entry.microseconds);
    }
    if (level) toggle(time);

    Mode2Timeline timeline(std::make_unique<Mode2MemorySource>(raw), 500);
    int64_t asked = 0;
    for (;;) {
      const bool expected_pulse =
          (std::upper_bound(changes.begin(), changes.end(), asked) - changes.begin()) % 2 == 1;
      ASSERT_EQ(timeline.PulseAt(asked), expected_pulse) << round << " at " << asked;
      const auto next = std::upper_bound(changes.begin(), changes.end(), asked);
      int64_t change = 0;
      bool pulse = false;
      const bool comes = timeline.NextChange(asked, &change, &pulse);
      ASSERT_EQ(comes, next != changes.end()) << round << " at " << asked;
      if (!comes) break;
      ASSERT_EQ(change, *next) << round;
      EXPECT_EQ(pulse, (next - changes.begin()) % 2 == 0) << round;
      // Sometimes ask from between two changes, as a waiting thread does after a deadline.
      asked = random() % 2 == 0 || change >= kFar ? change
                                                  : change + static_cast<int64_t>(random() % 2000);
    }
  }
}

}  // namespace
