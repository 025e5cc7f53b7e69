// Exact codes of the pulse-distance family: encoder and decoder round trips, repeat frames, and
// the hash fallback.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "exact_bursts.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/exact_frames.h"
#include "receiver/exact/pulse_distance_frames.h"

namespace {

// Decodes every burst of a press with a fresh decoder; the codes of the bursts that gave one.
std::vector<std::optional<ExactCode>> DecodePress(const std::vector<int32_t>& periods) {
  ExactDecoder decoder;
  std::vector<std::optional<ExactCode>> codes;
  for (const TimedBurst& burst : SplitBursts(periods))
    codes.push_back(decoder.Burst(burst.periods, burst.end_us));
  return codes;
}

struct ProtocolRange {
  ExactProtocol protocol;
  uint32_t address_mask;
  uint32_t command_mask;
};

TEST(ExactPulseDistance, EveryProtocolRoundTripsWithAndWithoutJitter) {
  const ProtocolRange ranges[] = {
      {ExactProtocol::kNec, 0xFF, 0xFF},
      {ExactProtocol::kNecExtended, 0xFFFF, 0xFF},
      {ExactProtocol::kNec32, 0xFFFF, 0xFFFF},
      {ExactProtocol::kSony12, 0x1F, 0x7F},
      {ExactProtocol::kSony15, 0xFF, 0x7F},
      {ExactProtocol::kSony20, 0xFF1F, 0x7F},
      {ExactProtocol::kJvc, 0xFF, 0xFF},
      {ExactProtocol::kSharp, 0x1F, 0xFF},
      {ExactProtocol::kDenon, 0x1F, 0xFF},
      {ExactProtocol::kSanyo, 0x1FFF, 0xFF},
      {ExactProtocol::kKaseikyo, 0xFFFF0FFF, 0xFFFF},
      {ExactProtocol::kPulseDistance, 0x3F, 0xFFFFFFFF},
      // The bi-phase family; RCMM and XMP values lie closer than 200 us apart (see
      // exact_biphase_test.cpp for the jitter they stand).
      {ExactProtocol::kRc5, 0x1F, 0x3F},
      {ExactProtocol::kRc5x, 0x1F, 0x7F},
      {ExactProtocol::kRc6, 0xFF, 0xFF},
      {ExactProtocol::kRc6A, 0xFFFFFF, 0xFF},
      {ExactProtocol::kBiphase, 0x1F, 0xFFFFFFFF},
  };
  std::mt19937 rng(19);
  for (const ProtocolRange& range : ranges) {
    for (int n = 0; n < 40; ++n) {
      ExactCode code{range.protocol, static_cast<uint32_t>(rng()) & range.address_mask,
                     static_cast<uint32_t>(rng()) & range.command_mask, 0};
      if (range.protocol == ExactProtocol::kPulseDistance) {
        code.address = 6 + code.address % 27;
        code.command &= code.address == 32 ? ~0u : (1u << code.address) - 1;
      }
      if (n % 2 == 1 && range.protocol == ExactProtocol::kKaseikyo) code.command &= 0xFF;
      if (range.protocol == ExactProtocol::kRc5x) code.command |= 0x40;  // else it is RC-5
      if (range.protocol == ExactProtocol::kRc6A)  // the 32-bit form, or the 20/24-bit ones
        code.address = n % 2 == 1 ? (code.address | 0x800000) & ~0x80u : code.address & 0xFFFF;
      if (range.protocol == ExactProtocol::kBiphase) {
        code.address = 8 + code.address % 25;
        code.command &= code.address == 32 ? ~0u : (1u << code.address) - 1;
      }
      std::vector<int32_t> periods;
      const int32_t extra = n % 3;
      if (!EncodeExactPress(code, extra, &periods)) {
        --n;  // values the protocol cannot carry (a NECx address that reads as NEC ...)
        continue;
      }
      for (int32_t jitter : {0, 200}) {
        const std::vector<std::optional<ExactCode>> codes =
            DecodePress(Jittered(periods, jitter, &rng));
        const std::string what = ExactField(code) + " jitter " + std::to_string(jitter) +
                                 " extra " + std::to_string(extra);
        EXPECT_FALSE(codes.empty()) << what;
        for (const std::optional<ExactCode>& decoded : codes) {
          ASSERT_TRUE(decoded.has_value()) << what;
          EXPECT_TRUE(decoded->SameKey(code)) << what << " read " << ExactField(*decoded);
        }
      }
    }
  }
}

TEST(ExactPulseDistance, CodesNoFrameCanCarryAreRefused) {
  // A NECx address whose bytes invert each other is plain NEC; NEC32 command bytes that check
  // are NEC or NECx; Sony20's and Kaseikyo's devices have five and four bits; a pulse-distance
  // frame of one bit length carries nothing.
  for (const char* field :
       {"NEC:0x100:0x01", "NEC:0x01:0x100", "NECx:0xFE01:0x01", "NEC32:0x1234:0xF00F",
        "Sony12:0x20:0x01", "Sony20:0x0120:0x01", "Sony15:0x01:0x80", "Sharp:0x20:0x01",
        "Sanyo:0x2000:0x01", "Kaseikyo:0x20021000:0x01", "PDist:0x05:0x05", "PDist:0x08:0xFF",
        "hash:12345678"}) {
    const std::optional<ExactCode> code = ParseExactField(field);
    ASSERT_TRUE(code) << field;
    std::vector<int32_t> periods{1, 2};
    EXPECT_FALSE(EncodeExactPress(*code, 1, &periods)) << field;
    EXPECT_EQ(periods.size(), 2u) << field;
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

TEST(ExactPulseDistance, GenericReaderLeavesDamagedNamedAndBiphaseFramesAlone) {
  std::vector<int32_t> kaseikyo;
  ASSERT_TRUE(EncodeExactPress({ExactProtocol::kKaseikyo, 0x20020102, 0x3D, 48}, 0, &kaseikyo));
  kaseikyo.pop_back();
  kaseikyo[2 + 2 * 16 + 1] = kaseikyo[2 + 2 * 16 + 1] > 800 ? 432 : 1296;  // vendor parity bit
  std::vector<int32_t> sanyo;
  ASSERT_TRUE(EncodeExactPress({ExactProtocol::kSanyo, 0x0160, 0x0F, 42}, 0, &sanyo));
  sanyo.pop_back();
  sanyo[3] = sanyo[3] > 1000 ? 560 : 1690;  // the address no longer matches its inverse
  // Bi-phase: marks and spaces both of two lengths.
  std::vector<int32_t> biphase{889, 889, 889, 1778, 1778, 889, 889, 889, 1778, 889, 889, 1778, 889};
  for (const std::vector<int32_t>* burst : {&kaseikyo, &sanyo, &biphase}) {
    EXPECT_FALSE(ReadPulseDistanceBurst(*burst).has_value()) << burst->size();
    ExactDecoder decoder;
    const std::optional<ExactCode> code = decoder.Burst(*burst, 0);
    // A damaged frame of a named protocol gets no code; the bi-phase frame its hash.
    if (burst == &biphase) {
      ASSERT_TRUE(code.has_value());
      EXPECT_EQ(code->protocol, ExactProtocol::kTimingHash) << ExactField(*code);
    } else {
      EXPECT_FALSE(code.has_value()) << ExactField(*code);
    }
  }
}

TEST(ExactPulseDistance, FramesOfOtherTimingBehindANamedLeadInReadAsGeneric) {
  // A lead-in JVC's tolerance takes, but 500 / 1000 us spaces: JVC would read every bit as 0.
  std::vector<int32_t> frame{6000, 3000};
  const uint32_t sent = 0xA5C3;
  for (int n = 15; n >= 0; --n) frame.insert(frame.end(), {500, (sent >> n & 1) ? 1000 : 500});
  frame.push_back(500);
  ExactDecoder decoder;
  const std::optional<ExactCode> code = decoder.Burst(frame, 0);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(ExactField(*code), "PDist:0x10:0xA5C3");
}

TEST(ExactPulseDistance, Rc6FramesAreNotTakenForSony) {
  // Their leader is close to Sony's lead-in; their spaces are longer than Sony's ever are.
  int taken = 0;
  for (uint32_t data = 0; data <= 0xFFFF; data += 5) {
    std::vector<int32_t> frame = Rc6(0, 0, data, 16);  // mode 0, ending in a mark
    if (frame.size() % 2 == 0) frame.pop_back();
    taken += ReadNamedPulseDistanceBurst(frame).has_value();
  }
  EXPECT_EQ(taken, 0);
}

TEST(ExactPulseDistance, HashIsStableUnderJitterAndDiffersBetweenKeys) {
  // Frames of no protocol the readers know: a lead-in and three bit lengths.
  const std::vector<std::vector<int32_t>> keys = {
      {5000, 2500, 500, 1500, 500, 500, 1500, 2500, 500, 1500, 500},
      {5000, 2500, 500, 1500, 500, 500, 1500, 2500, 500, 500, 1500},
      {5000, 2500, 500, 500, 1500, 1500, 500, 2500, 500, 1500, 500},
      {5000, 2500, 1500, 1500, 500, 500, 1500, 2500, 500, 1500, 500},
      {5000, 2500, 500, 2500, 500, 500, 1500, 1500, 500, 1500, 500},
      {5000, 2500, 500, 1500, 500, 500, 1500, 2500, 500, 1500, 500, 500, 500},
      {500, 1500, 500, 500, 1500, 2500, 500, 1500, 500, 500, 500},  // no lead-in
  };
  std::mt19937 rng(7);
  std::vector<uint32_t> hashes;
  for (const std::vector<int32_t>& bits : keys) {
    // Each frame holds its bits twice: ratios need a few periods of each length (with five
    // periods of 500 us, 100 us of jitter can make one length look a unit longer).
    std::vector<int32_t> key = bits;
    key.push_back(500);
    key.insert(key.end(), bits.begin() + (bits[0] > 4000 ? 2 : 0), bits.end());
    std::vector<int32_t> burst = key;
    burst.push_back(12000);  // a second frame does not change the hash
    burst.insert(burst.end(), key.begin(), key.end());
    const ExactCode code = HashBurst(key);
    EXPECT_EQ(code.protocol, ExactProtocol::kTimingHash);
    EXPECT_EQ(HashBurst(burst).command, code.command);
    for (int n = 0; n < 50; ++n)
      EXPECT_TRUE(HashBurst(Jittered(burst, 100, &rng)).SameKey(code)) << n;
    for (uint32_t other : hashes) EXPECT_NE(other, code.command);
    hashes.push_back(code.command);
  }
}

TEST(ExactPulseDistance, HashTellsMarksFromSpacesOfOtherLengths) {
  // Twelve marks and eleven spaces of these lengths: the patterns differ in how marks compare to
  // spaces, which a grouping of each kind on its own does not see, and in the ratios of their
  // lengths, which their order does not tell (the earlier hash, in the address, keeps only that
  // order: 1000/2000 like 1000/6000).
  struct Pattern {
    int32_t mark, space;
    int like;  // patterns alike in relative lengths share this
  } patterns[] = {
      {1000, 1000, 0}, {1150, 850, 0},  // a receiver that lengthens marks
      {6000, 1000, 1}, {2000, 1000, 2}, {1000, 6000, 3}, {1000, 2000, 4}, {1000, 3000, 5},
  };
  std::mt19937 rng(11);
  std::map<int, uint32_t> hashes;
  for (const Pattern& p : patterns) {
    std::vector<int32_t> burst;
    for (int n = 0; n < 12; ++n) burst.insert(burst.end(), {p.mark, p.space});
    burst.pop_back();
    const uint32_t hash = HashBurst(burst).command;
    for (int n = 0; n < 50; ++n)
      EXPECT_EQ(HashBurst(Jittered(burst, 100, &rng)).command, hash) << p.mark << "/" << p.space;
    if (!hashes.contains(p.like)) {
      for (const auto& [like, other] : hashes) EXPECT_NE(other, hash) << p.mark << "/" << p.space;
      hashes[p.like] = hash;
    }
    EXPECT_EQ(hashes[p.like], hash) << p.mark << "/" << p.space;
  }
}

}  // namespace

TEST(ExactPulseDistance, SerialFramesWithLongRunsAreToldApart) {
  // Serial frames of 833 us units (a space a 1, a pulse a 0): a run of 3, 4 or 5 units would
  // read as the same long pulse-width bit; a run of 2 is that bit.
  std::set<std::string> fields;
  for (const int32_t units : {2, 3, 4, 5}) {
    const std::vector<int32_t> frame = {833,         833, 833, 833, 833, 833,
                                        units * 833, 833, 833, 833, 833};
    ExactDecoder decoder;
    const std::optional<ExactCode> code = decoder.Burst(frame, 0);
    ASSERT_TRUE(code.has_value()) << units;
    EXPECT_EQ(code->protocol == ExactProtocol::kPulseDistance, units == 2) << ExactField(*code);
    fields.insert(ExactField(*code));
  }
  EXPECT_EQ(fields.size(), 4u);
}
