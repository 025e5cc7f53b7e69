// Short serial frames (1200 baud): read only on the unit grid, written back, and reported by the
// receiver beside no classic code.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "receiver/burst_evaluation.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/exact_frames.h"

namespace {

std::string Read(const std::vector<int32_t>& burst) {
  ExactDecoder decoder;
  const std::optional<ExactCode> code = decoder.Burst(burst, 0);
  return code ? ExactField(*code) : "-";
}

TEST(ExactSerial, ShortBurstsReadOnlyOnTheUnitGrid) {
  struct Row {
    const char* what;
    std::vector<int32_t> burst;
    const char* field;
  };
  const Row rows[] = {
      {"clean", {833, 833, 9163, 833, 833}, "Serial:0x0F:0x2002"},
      {"shortest", {833, 833, 9996}, "Serial:0x0E:0x1000"},
      {"200 us jitter", {1033, 633, 8963, 1033, 633}, "Serial:0x0F:0x2002"},
      {"marks long, spaces short", {933, 733, 9263, 733, 933}, "Serial:0x0F:0x2002"},
      {"another key", {833, 833, 6664, 1666, 2499}, "Serial:0x0F:0x2018"},
      {"off the grid", {833, 833, 1250}, "-"},
      {"a mark of a third of a unit", {833, 833, 9163, 833, 280}, "-"},
      {"receiver glitches", {150, 300, 120, 900, 200}, "-"},
      {"NEC repeat frame, no key before", {9000, 2250, 560}, "-"},
      {"longer than 32 units", {833, 833, 26000}, "-"},
      {"a single mark", {833}, "-"},
      // Longer serial frames keep the code they had (remote files hold them).
      {"six periods and more",
       {833, 833, 4998, 833, 3332, 833, 833},
       "hash2:0x732B0CFF:0x8CD82296"},
  };
  for (const Row& row : rows) EXPECT_EQ(Read(row.burst), row.field) << row.what;
}

TEST(ExactSerial, CodesRoundTripAndFramesNoLineCanSendAreRefused) {
  for (const char* field : {"Serial:0x0F:0x2002", "Serial:0x03:0x02", "Serial:0x20:0xFF00F0"}) {
    std::vector<int32_t> periods;
    ASSERT_TRUE(EncodeExactPress(*ParseExactField(field), 1, &periods)) << field;
    ASSERT_GT(periods.back(), BurstEvaluation::kBurstEnd);
    size_t end = 1;
    while (periods[end] <= BurstEvaluation::kBurstEnd) end += 2;
    EXPECT_EQ(Read({periods.begin(), periods.begin() + end}), field);
    EXPECT_EQ(periods.size(), 2 * (end + 1)) << field;  // a held key repeats the frame
  }
  // A frame opens and closes with a mark (a 0 bit) and holds 3 to 32 bits, all in the count.
  for (const char* field : {"Serial:0x0F:0x4002", "Serial:0x0F:0x2003", "Serial:0x02:0x00",
                            "Serial:0x21:0x02", "Serial:0x04:0x12", "PDist:0x0F:0x2002"}) {
    std::vector<int32_t> periods;
    EXPECT_FALSE(WriteSerialFrame(*ParseExactField(field), &periods)) << field;
    EXPECT_TRUE(periods.empty());
  }
}

TEST(ExactSerial, TheReceiverReportsAShortSerialFrameAndNotShortNoise) {
  const auto evaluate = [](const std::vector<int32_t>& burst, bool* ready) {
    BurstEvaluation evaluation(false);
    evaluation.Start();
    EXPECT_EQ(evaluation.Add(500000, false, 0), BurstEvaluation::Outcome::kCollecting);
    for (const int32_t p : burst)
      EXPECT_EQ(evaluation.Add(p, false, 0), BurstEvaluation::Outcome::kCollecting);
    *ready = evaluation.ReadyToEnd();
    if (!*ready) return std::string("-");
    if (evaluation.EndBurst(1000000) != BurstEvaluation::Outcome::kDecoded) return std::string();
    EXPECT_EQ(evaluation.Family(), 0);  // no classic code
    return evaluation.Exact() ? ExactField(*evaluation.Exact()) : std::string();
  };
  bool ready = false;
  EXPECT_EQ(evaluate({833, 833, 9996}, &ready), "Serial:0x0E:0x1000");
  EXPECT_TRUE(ready);
  EXPECT_EQ(evaluate({150, 300, 120, 900, 200}, &ready), "-");
  EXPECT_FALSE(ready);  // noise keeps the receiver waiting, as before
}

}  // namespace
