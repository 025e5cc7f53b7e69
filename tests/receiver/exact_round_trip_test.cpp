// Exact codes sent and read back: random codes of every form (data/exact_forms.tsv) through the
// writers and readers, clean and distorted as receivers and remotes distort them, and the
// recordings of remotes in exact/ (data/exact_recordings.tsv), every key a code of its own.
#include <gtest/gtest.h>

#include <map>

#include "periods.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/exact_frames.h"
#include "sectioned_file.h"
#include "test_files.h"

namespace koru {

namespace {

using Periods = std::vector<int32_t>;

using Row = std::vector<std::string>;

// A random code of a form of data/exact_forms.tsv; generic frames of 6 (pulse distance) or 8
// (bi-phase, the first bit a 1) to 32 bits, and in RCMM 32-bit frames the toggle cleared where it
// is one.
ExactCode RandomCode(const Row& form, std::mt19937& random) {
  const auto draw = [&](int mask) -> uint32_t {
    return (static_cast<uint32_t>(random()) & std::stoul(form[mask], nullptr, 16)) |
           std::stoul(form[mask + 1], nullptr, 16);
  };
  const ExactProtocol protocol = *ExactProtocolNamed(form[0]);
  ExactCode code{protocol, draw(1), draw(3), std::stoi(form[5])};
  if (protocol == ExactProtocol::kRcmm && code.bits == 32 && (code.address & 0xC) != 0xC)
    code.command &= 0x7FFF;
  const bool biphase = protocol == ExactProtocol::kBiphase;
  if (biphase || protocol == ExactProtocol::kPulseDistance) {
    code.address = biphase ? 8 + random() % 25 : 6 + random() % 27;
    code.command = code.command >> (32 - code.address) | (biphase ? 1u << (code.address - 1) : 0);
    if (biphase) code.bits = static_cast<int32_t>(code.address);
  }
  return code;
}

// The periods as a receiver gives them: every one moved by up to `distortion` us; or, slow to
// switch, each pulse lengthened or shortened at the cost of the space after it ("stretched"),
// then every period moved by up to 30 us ("skewed").
Periods Distorted(const std::string& distortion, Periods periods, std::mt19937& random) {
  if (distortion != "skewed" && distortion != "stretched")
    return Jittered(std::move(periods), std::stoi(distortion), &random);
  std::uniform_int_distribution<int32_t> skew(-100, 200);
  for (size_t i = 0; i + 1 < periods.size(); i += 2) {
    const int32_t d = skew(random);
    periods[i] = std::max(periods[i] + d, int32_t{20});
    periods[i + 1] -= d;
  }
  return distortion == "skewed" ? Jittered(std::move(periods), 30, &random) : periods;
}

// A press held for up to two more frames, clean and distorted, through the exact decoder burst
// by burst: every burst reads as the code, in its bit count where the form has one.
TEST(ExactPulseDistance, EveryProtocolRoundTripsWithAndWithoutJitter) {
  std::mt19937 rng(19);
  for (const Row& form : ReadTable("receiver/data/exact_forms.tsv", 8)) {
    int sent = 0;
    for (int n = 0; n < 100; ++n) {
      const ExactCode code = RandomCode(form, rng);
      Periods periods;
      if (!EncodeExactPress(code, n % 3, &periods)) continue;
      ++sent;
      for (const bool distorted : {false, true}) {
        const Periods press = distorted ? Distorted(form[6], periods, rng) : periods;
        ExactDecoder decoder;
        const std::vector<TimedBurst> bursts = SplitBursts(press);
        EXPECT_FALSE(bursts.empty()) << form[7];
        for (const TimedBurst& burst : bursts) {
          const std::optional<ExactCode> read = decoder.Burst(burst.periods, burst.end_us);
          ASSERT_TRUE(read && read->SameKey(code) && (code.bits == 0 || read->bits == code.bits))
              << form[7] << (distorted ? " distorted" : "") << " extra " << n % 3 << ": sent "
              << ExactField(code) << ", read " << Shown(read) << " from" << Listed(burst.periods);
        }
      }
    }
    // Only NECx (an address whose bytes invert each other is NEC's) and the generic forms refuse
    // some values.
    EXPECT_GE(sent, form[0] == "NECx" || form[0] == "PDist" || form[0] == "Biphase" ? 90 : 100)
        << form[7];
  }
}

TEST(ExactBiphase, SlowReceiversAndOffTuneRemotesStillRead) {
  // Beyond the nominal timing's tolerance, within that of the frame's own fitted timing: each
  // pulse 180 us longer at the cost of its space (a slow receiver), every period 8 % longer (a
  // remote whose clock runs slow).
  std::mt19937 random(6);
  for (const bool slow_receiver : {true, false}) {
    for (const char* field : {"RC-5:0x1E:0x0C", "RC-5X:0x03:0x55", "RC-6:0x04:0x0C",
                              "RC-6A:0x800F04:0x22", "RC-6A:0x1234:0x56"}) {
      Periods periods;
      ASSERT_TRUE(WriteBiphaseFrame(*ParseExactField(field), &periods));
      periods.pop_back();
      for (size_t i = 0; i < periods.size(); ++i)
        periods[i] = slow_receiver ? periods[i] + (i % 2 ? -180 : 180) : periods[i] * 108 / 100;
      for (int n = 0; n < 50; ++n) {
        const Periods shaken = Jittered(periods, slow_receiver ? 60 : 120, &random);
        const std::optional<ExactCode> read = ReadBiphaseBurst(shaken);
        EXPECT_TRUE(Fits(field, read))
            << field << (slow_receiver ? " slow receiver" : " slow remote") << ": read "
            << Shown(read) << " from" << Listed(shaken);
      }
    }
  }
}

// The periods of each key ("# key NAME" section) of a recording in exact/.
std::vector<Periods> KeysOf(const std::string& file) {
  std::vector<Periods> keys;
  for (const auto& [name, text] :
       ReadSections(KORU_SOURCE_DIR "/tests/receiver/exact/" + file, "# key ")) {
    Mode2Recording recording;
    std::string error;
    EXPECT_EQ(ParseMode2(text, file, &recording, &error), kOk) << error;
    Periods& periods = keys.emplace_back();
    for (const Mode2Entry& entry : recording)
      if (!periods.empty() || entry.pulse)
        periods.push_back(static_cast<int32_t>(entry.microseconds));
  }
  return keys;
}

// Every burst of a key, clean and distorted three times over, reads as the key's code; the
// first key's code is known, no two keys share one.
TEST(ExactRecordings, EveryKeyHasOneCodeOfItsOwn) {
  std::mt19937 rng(2026);
  for (const auto& row : ReadTable("receiver/data/exact_recordings.tsv", 7)) {
    const std::vector<Periods> keys = KeysOf(row[0]);
    ASSERT_EQ(keys.size(), std::stoul(row[2])) << row[0];
    std::map<std::string, size_t> owner;  // code field -> key
    for (size_t key = 0; key < keys.size(); ++key) {
      std::optional<ExactCode> first;
      for (int round = 0; round <= std::stoi(row[6]); ++round) {
        ExactDecoder decoder;
        const std::vector<TimedBurst> bursts =
            SplitBursts(round == 0 ? keys[key] : Distorted(row[5], keys[key], rng));
        ASSERT_FALSE(bursts.empty()) << row[0] << " key " << key;
        for (const TimedBurst& burst : bursts) {
          const std::optional<ExactCode> code = row[1] == "biphase"
                                                    ? ReadBiphaseBurst(burst.periods)
                                                    : decoder.Burst(burst.periods, burst.end_us);
          ASSERT_TRUE(code) << row[0] << " key " << key << " round " << round << " from"
                            << Listed(burst.periods);
          if (!first) first = code;
          EXPECT_TRUE(code->SameKey(*first) && Fits(row[3], code))
              << row[0] << " key " << key << " round " << round << ": " << Shown(first) << ", then "
              << Shown(code) << " from" << Listed(burst.periods);
        }
      }
      if (key == 0 && row[4] != "-") {
        EXPECT_TRUE(Fits(row[4], first)) << row[0] << ": " << Shown(first);
      }
      const auto [it, fresh] = owner.emplace(ExactField(*first), key);
      EXPECT_TRUE(fresh) << row[0] << ": keys " << key << " and " << it->second << " share "
                         << ExactField(*first);
    }
  }
}

}  // namespace

}  // namespace koru
