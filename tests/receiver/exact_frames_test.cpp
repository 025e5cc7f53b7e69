// Exact codes of single bursts (data/exact_bursts.tsv), codes no frame can carry
// (data/exact_codes.tsv), the written forms of codes (data/exact_fields.tsv), repeat frames and
// the hash of frames no reader knows.
#include <gtest/gtest.h>

#include <map>

#include "periods.h"
#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/exact_frames.h"
#include "receiver/exact/pulse_distance_frames.h"
#include "test_files.h"

namespace koru {

namespace {

// Each burst of data/exact_bursts.tsv read by the reader its row names; the first column says
// what the rows of a kind show (serial bursts read only on the unit grid, toggle bits are not
// part of the code, the generic reader leaves damaged named frames alone, ...).
TEST(ExactBursts, EachReaderReadsItsBurstsAsTheTableSays) {
  for (const auto& row : ReadTable("receiver/data/exact_bursts.tsv", 5)) {
    const std::vector<int32_t> burst = PeriodsOf(row[3]);
    std::optional<ExactCode> code;
    if (row[1] == "decoder") code = ExactDecoder().Burst(burst, 0);
    if (row[1] == "biphase") code = ReadBiphaseBurst(burst);
    if (row[1] == "pulse-distance") code = ReadPulseDistanceBurst(burst);
    if (row[1] == "manchester") code = ReadManchesterFrame(burst, 0);
    EXPECT_TRUE(Fits(row[2], code))
        << row[0] << ": " << row[4] << ": " << row[1] << " read " << Shown(code);
  }
}

TEST(ExactBiphase, WritersRefuseWhatTheirFramesCannotCarry) {
  for (const auto& row : ReadTable("receiver/data/exact_codes.tsv", 4)) {
    std::optional<ExactCode> code = ParseExactField(row[0]);
    ASSERT_TRUE(code) << row[0];
    code->bits = std::stoi(row[1]);
    std::vector<int32_t> periods{1, 2};
    const bool sent = EncodeExactPress(*code, 1, &periods);
    ASSERT_EQ(sent, row[2] != "-") << row[0] << ": " << row[3];
    if (!sent) {
      EXPECT_EQ(periods.size(), 2u) << row[0];
      continue;
    }
    // The press and the frame a held key sends again, each read back in the row's bits.
    const std::vector<TimedBurst> bursts = SplitBursts({periods.begin() + 2, periods.end()});
    EXPECT_EQ(bursts.size(), 2u) << row[0];
    ExactDecoder decoder;
    for (const TimedBurst& burst : bursts) {
      const std::optional<ExactCode> read = decoder.Burst(burst.periods, burst.end_us);
      EXPECT_TRUE(Fits(ExactField(*code) + " " + row[2], read))
          << row[3] << ": read " << Shown(read);
    }
  }
}

TEST(ExactCode, FieldAndReadableFormsRoundTrip) {
  for (const auto& row : ReadTable("receiver/data/exact_fields.tsv", 3)) {
    const std::optional<ExactCode> code = ParseExactField(row[0]);
    EXPECT_EQ(code ? ExactField(*code) : "-", row[1]) << row[0];
    EXPECT_EQ(code ? ExactReadable(*code) : "-", row[2]) << row[0];
  }
  for (int p = 0; p <= static_cast<int>(ExactProtocol::kSerial); ++p) {
    const auto protocol = static_cast<ExactProtocol>(p);
    EXPECT_EQ(ExactProtocolNamed(ExactProtocolName(protocol)), protocol);
  }
}

TEST(ExactPulseDistance, RepeatFramesRepeatOnlyARecentCode) {
  const ExactCode code{ExactProtocol::kNec, 0x04, 0x08, 32};
  std::vector<int32_t> periods;
  ASSERT_TRUE(EncodeExactPress(code, 0, &periods));
  periods.pop_back();
  const std::vector<int32_t> repeat{9000, 2250, 560};

  ExactDecoder decoder;
  EXPECT_FALSE(decoder.Burst(repeat, 1000000).has_value()) << "no code yet";
  ASSERT_TRUE(decoder.Burst(periods, 2000000).has_value());
  const std::optional<ExactCode> again = decoder.Burst(repeat, 2200000);
  ASSERT_TRUE(again.has_value());
  EXPECT_TRUE(again->SameKey(code));
  // Each repeat keeps the key alive for the next one.
  EXPECT_TRUE(decoder.Burst(repeat, 2400000).has_value());
  EXPECT_FALSE(decoder.Burst(repeat, 2650001).has_value()) << "too late";

  ASSERT_TRUE(decoder.Burst(periods, 3000000).has_value());
  decoder.Reset();
  EXPECT_FALSE(decoder.Burst(repeat, 3100000).has_value()) << "after Reset";
  // Short bursts that are no repeat frame are noise, not a hash.
  EXPECT_FALSE(decoder.Burst(std::vector<int32_t>{600, 600, 1200, 600, 600}, 3200000));
}

TEST(ExactPulseDistance, Rc6FramesAreNotTakenForSony) {
  // Their leader is close to Sony's lead-in; their spaces are longer than Sony's ever are.
  int taken = 0;
  for (uint32_t data = 0; data <= 0xFFFF; data += 5) {
    std::vector<int32_t> frame;  // mode 0, ending in a mark
    ASSERT_TRUE(WriteBiphaseFrame({ExactProtocol::kRc6, data >> 8, data & 0xFF, 16}, &frame));
    if (frame.size() % 2 == 0) frame.pop_back();
    taken += ReadNamedPulseDistanceBurst(frame).has_value();
  }
  EXPECT_EQ(taken, 0);
}

// Each frame of data/timing_hash_keys.tsv hashes the same under jitter and with a second frame;
// frames of different groups differently.
TEST(ExactPulseDistance, HashIsStableUnderJitterAndTellsGroupsApart) {
  std::mt19937 rng(7);
  std::map<std::string, uint32_t> hashes;  // group -> hash
  for (const auto& row : ReadTable("receiver/data/timing_hash_keys.tsv", 2)) {
    SCOPED_TRACE(row[1]);
    const std::vector<int32_t> key = PeriodsOf(row[0]);
    std::vector<int32_t> burst = key;
    burst.push_back(12000);
    burst.insert(burst.end(), key.begin(), key.end());
    const ExactCode code = HashBurst(key);
    EXPECT_EQ(code.protocol, ExactProtocol::kTimingHash);
    EXPECT_EQ(HashBurst(burst).command, code.command);
    for (int n = 0; n < 50; ++n) {
      const ExactCode jittered = HashBurst(Jittered(burst, 100, &rng));
      EXPECT_TRUE(jittered.SameKey(code) && jittered.command == code.command) << n;
    }
    for (const auto& [group, other] : hashes) EXPECT_EQ(other == code.command, group == row[1]);
    hashes.emplace(row[1], code.command);
  }
}

}  // namespace

}  // namespace koru
