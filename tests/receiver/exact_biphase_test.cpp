// The bi-phase family's readers and writers: round trips of random codes with and without
// timing jitter, toggled frames, frames of other families, and recordings made by LIRC's
// irsimsend from real and generic configurations (tests/receiver/exact/README).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "exact_bursts.h"
#include "platform/lines/mode2_recording.h"
#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/exact_frames.h"

namespace {

using Periods = std::vector<int32_t>;

// Jitter of a cheap receiver or a far remote: every period off by up to ±`amplitude` us on its
// own.
Periods Jittered(Periods periods, std::mt19937& random, int32_t amplitude = 200) {
  std::uniform_int_distribution<int32_t> offset(-amplitude, amplitude);
  for (int32_t& p : periods) p = std::max(p + offset(random), int32_t{20});
  return periods;
}

// A receiver slow to switch: each pulse lengthened (or shortened) by up to 200 us at the cost
// of the space after it, plus ±30 us on every period. RCMM and XMP values are 167 and 136 us
// apart, closer than ±200 us on each period allows any reader to tell; this is what they stand.
Periods Skewed(Periods periods, std::mt19937& random) {
  std::uniform_int_distribution<int32_t> skew(-100, 200);
  std::uniform_int_distribution<int32_t> offset(-30, 30);
  for (size_t i = 0; i + 1 < periods.size(); i += 2) {
    const int32_t d = skew(random);
    periods[i] += d;
    periods[i + 1] -= d;
  }
  for (int32_t& p : periods) p = std::max(p + offset(random), int32_t{20});
  return periods;
}

// A slow receiver alone: pulses lengthened at the cost of their spaces, distances kept. XMP
// nibbles without check nibbles stand this, not jitter (they are read only on one grid).
Periods Stretched(Periods periods, std::mt19937& random) {
  std::uniform_int_distribution<int32_t> skew(-100, 200);
  for (size_t i = 0; i + 1 < periods.size(); i += 2) {
    const int32_t d = skew(random);
    periods[i] = std::max(periods[i] + d, int32_t{20});
    periods[i + 1] -= d;
  }
  return periods;
}

// The burst the receiver hands over: without the final quiet period.
Periods Burst(Periods periods) {
  if (periods.size() % 2 == 0 && !periods.empty()) periods.pop_back();
  return periods;
}

std::string Shown(const std::optional<ExactCode>& code) {
  return code ? ExactField(*code) + " (" + std::to_string(code->bits) + " bits)" : "nothing";
}

std::string Listed(const Periods& periods) {
  std::string text;
  for (const int32_t p : periods) text += " " + std::to_string(p);
  return text;
}

Periods Jitter200(Periods periods, std::mt19937& random) {
  return Jittered(std::move(periods), random);
}

// Random codes of one form: address and command bits drawn under their masks, then the bits
// the form requires set (and in RCMM 32-bit frames the toggle cleared where it is one).
struct Form {
  const char* name;
  ExactProtocol protocol;
  uint32_t address_mask, address_set, command_mask, command_set;
  int32_t bits;
  Periods (*jitter)(Periods, std::mt19937&);
};

ExactCode RandomCode(const Form& form, std::mt19937& random) {
  const auto draw = [&random](uint32_t mask, uint32_t set) {
    return (static_cast<uint32_t>(random()) & mask) | set;
  };
  ExactCode code{form.protocol, draw(form.address_mask, form.address_set),
                 draw(form.command_mask, form.command_set), form.bits};
  if (form.protocol == ExactProtocol::kRcmm && form.bits == 32 && (code.address & 0xC) != 0xC)
    code.command &= 0x7FFF;
  if (form.protocol == ExactProtocol::kBiphase) {  // 8..32 bits, the first a 1
    code.address = 8 + static_cast<uint32_t>(random() % 25);
    code.bits = static_cast<int32_t>(code.address);
    code.command = (code.command >> (32 - code.address)) | 1u << (code.address - 1);
  }
  return code;
}

TEST(ExactBiphase, RandomCodesOfEveryProtocolRoundTripWithAndWithoutJitter) {
  using P = ExactProtocol;
  const Form forms[] = {
      {"RC-5", P::kRc5, 0x1F, 0, 0x3F, 0, 14, Jitter200},
      {"RC-5 15-bit", P::kRc5, 0x3F, 0x80, 0x3F, 0, 15, Jitter200},
      {"RC-5X", P::kRc5x, 0x1F, 0, 0x3F, 0x40, 14, Jitter200},
      {"RC-6", P::kRc6, 0xFF, 0, 0xFF, 0, 16, Jitter200},
      {"RC-6A 20", P::kRc6A, 0xFFF, 0, 0xFF, 0, 20, Jitter200},
      {"RC-6A 24", P::kRc6A, 0x7FFF, 0, 0xFF, 0, 24, Jitter200},
      {"RC-6A 32", P::kRc6A, 0x7FFF7F, 0x800000, 0xFF, 0, 32, Jitter200},
      {"RCMM 12", P::kRcmm, 0xF, 0, 0xFF, 0, 12, Skewed},
      {"RCMM 24", P::kRcmm, 0xFFF, 0, 0xFFF, 0, 24, Skewed},
      {"RCMM 32", P::kRcmm, 0xFFFF, 0, 0xFFFF, 0, 32, Skewed},
      {"XMP", P::kXmp, 0xFFFFFF, 0, 0xFFFF, 0, 64, Skewed},
      {"XMP unchecked", P::kXmp, 0x0FFFFFFF, 0, 0x0FFFFFFF, 0x10000000, 64, Stretched},
      {"Biphase", P::kBiphase, 0, 0, 0xFFFFFFFF, 0, 0, Jitter200},
  };
  std::mt19937 random(19);
  for (const Form& form : forms) {
    int sent = 0;
    for (int i = 0; i < 300; ++i) {
      const ExactCode code = RandomCode(form, random);
      Periods periods;
      if (!WriteBiphaseFrame(code, &periods)) {
        // Only the generic form refuses some values (see manchester_frames.cpp).
        EXPECT_EQ(code.protocol, ExactProtocol::kBiphase) << form.name << " " << ExactField(code);
        continue;
      }
      ++sent;
      const std::optional<ExactCode> clean = ReadBiphaseBurst(Burst(periods));
      ASSERT_TRUE(clean && clean->SameKey(code) && clean->bits == code.bits)
          << form.name << ": sent " << ExactField(code) << ", read " << Shown(clean);
      const Periods shaken = Burst(form.jitter(periods, random));
      const std::optional<ExactCode> jittered = ReadBiphaseBurst(shaken);
      ASSERT_TRUE(jittered && jittered->SameKey(code))
          << form.name << " jittered: sent " << ExactField(code) << ", read " << Shown(jittered)
          << " from" << Listed(shaken);
    }
    EXPECT_GT(sent, 200) << form.name;
  }
}

TEST(ExactBiphase, SlowReceiversAndOffTuneRemotesStillRead) {
  // Beyond the nominal timing's tolerance, within that of the frame's own fitted timing.
  struct Distortion {
    const char* name;
    int32_t stretch_us;  // added to every pulse, taken from the space after it
    double scale;        // of every period: a remote whose clock runs slow
    int32_t jitter_us;
  };
  const Distortion distortions[] = {
      {"slow receiver", 180, 1.0, 60},
      {"slow remote", 0, 1.08, 120},
  };
  const ExactCode codes[] = {
      {ExactProtocol::kRc5, 0x1E, 0x0C, 14},    {ExactProtocol::kRc5x, 0x03, 0x55, 14},
      {ExactProtocol::kRc6, 0x04, 0x0C, 16},    {ExactProtocol::kRc6A, 0x800F04, 0x22, 32},
      {ExactProtocol::kRc6A, 0x1234, 0x56, 24},
  };
  std::mt19937 random(6);
  for (const Distortion& d : distortions) {
    for (const ExactCode& code : codes) {
      Periods periods;
      ASSERT_TRUE(WriteBiphaseFrame(code, &periods));
      periods = Burst(periods);
      for (size_t i = 0; i < periods.size(); ++i) {
        if (i % 2 == 0) periods[i] += d.stretch_us;
        if (i % 2 == 1) periods[i] -= d.stretch_us;
        periods[i] = static_cast<int32_t>(periods[i] * d.scale);
      }
      for (int n = 0; n < 50; ++n) {
        const Periods shaken = Jittered(periods, random, d.jitter_us);
        const std::optional<ExactCode> read = ReadBiphaseBurst(shaken);
        ASSERT_TRUE(read && read->SameKey(code))
            << d.name << ": sent " << ExactField(code) << ", read " << Shown(read) << " from"
            << Listed(shaken);
      }
    }
  }
}

TEST(ExactBiphase, WritersRefuseWhatTheirFramesCannotCarry) {
  const ExactCode refused[] = {
      {ExactProtocol::kRc5, 0x20, 0x01, 0},
      {ExactProtocol::kRc5, 0x05, 0x40, 0},
      {ExactProtocol::kRc5x, 0x05, 0x80, 0},
      {ExactProtocol::kRc6, 0x100, 0x01, 0},
      {ExactProtocol::kRc6A, 0x800F84, 0x0C, 32},  // the toggle bit
      {ExactProtocol::kRc6A, 0x1234, 0x0C, 20},
      {ExactProtocol::kRcmm, 0x10000, 0x01, 0},
      {ExactProtocol::kRcmm, 0x8000, 0x8001, 32},        // the toggle bit
      {ExactProtocol::kXmp, 0x1F000000, 0x1F000000, 0},  // nibbles that check
      {ExactProtocol::kBiphase, 12, 0x123, 0},
      {ExactProtocol::kBiphase, 4, 0x9, 0},
      {ExactProtocol::kNec, 0x04, 0x08, 32},
      {ExactProtocol::kHash, 0, 0x1234, 0},
  };
  for (const ExactCode& code : refused) {
    Periods periods;
    EXPECT_FALSE(WriteBiphaseFrame(code, &periods)) << ExactField(code);
    EXPECT_TRUE(periods.empty()) << ExactField(code);
  }
  // Without a bit count a code is sent in the narrowest form that carries it.
  const std::pair<ExactCode, int32_t> narrowest[] = {
      {{ExactProtocol::kRc5, 0xA3, 0x01, 0}, 15},
      {{ExactProtocol::kRc6A, 0x123, 0x01, 0}, 20},
      {{ExactProtocol::kRc6A, 0x1234, 0x01, 0}, 24},
      {{ExactProtocol::kRc6A, 0x800F04, 0x0C, 0}, 32},
      {{ExactProtocol::kRcmm, 0x3, 0x21, 0}, 12},
      {{ExactProtocol::kRcmm, 0x30C, 0x21, 0}, 24},
  };
  for (const auto& [code, bits] : narrowest) {
    Periods periods;
    ASSERT_TRUE(WriteBiphaseFrame(code, &periods)) << ExactField(code);
    const std::optional<ExactCode> back = ReadBiphaseBurst(Burst(periods));
    EXPECT_TRUE(back && back->SameKey(code) && back->bits == bits) << Shown(back);
  }
}

TEST(ExactBiphase, ToggleBitsAreNotPartOfTheCode) {
  struct Case {
    const char* name;
    Periods first, toggled;
    ExactCode expected;
  };
  const Case cases[] = {
      {"RC-5", Rc5(0), Rc5(1), {ExactProtocol::kRc5, 0x05, 0x0C, 14}},
      {"RC-6", Rc6(0, 0, 0x040C, 16), Rc6(0, 1, 0x040C, 16), {ExactProtocol::kRc6, 0x04, 0x0C, 16}},
      {"RC-6A MCE",
       Rc6(6, 0, 0x800F040C, 32),
       Rc6(6, 0, 0x800F840C, 32),
       {ExactProtocol::kRc6A, 0x800F04, 0x0C, 32}},
      {"RCMM 32",
       Rcmm32(0x22E0264C),
       Rcmm32(0x22E0A64C),
       {ExactProtocol::kRcmm, 0x22E0, 0x264C, 32}},
      {"XMP", Xmp(0), Xmp(8), {ExactProtocol::kXmp, 0x10443E, 0x0B00, 64}},
  };
  for (const Case& c : cases) {
    const std::optional<ExactCode> first = ReadBiphaseBurst(c.first);
    const std::optional<ExactCode> toggled = ReadBiphaseBurst(c.toggled);
    EXPECT_TRUE(first && first->SameKey(c.expected) && first->bits == c.expected.bits)
        << c.name << ": " << Shown(first);
    EXPECT_TRUE(toggled && toggled->SameKey(c.expected)) << c.name << ": " << Shown(toggled);
  }
  // In 32-bit RCMM frames with bits 19 and 18 set, bit 15 is data.
  const std::optional<ExactCode> low = ReadBiphaseBurst(Rcmm32(0x800C0001));
  const std::optional<ExactCode> high = ReadBiphaseBurst(Rcmm32(0x800C8001));
  ASSERT_TRUE(low && high);
  EXPECT_EQ(low->command, 0x0001u);
  EXPECT_EQ(high->command, 0x8001u);
}

TEST(ExactBiphase, FramesOfOtherKindsAreLeftAlone) {
  Periods nec, sony;  // sent in full, Sony's frame twice
  ASSERT_TRUE(EncodeExactPress({ExactProtocol::kNec, 0x04, 0x08, 32}, 0, &nec));
  ASSERT_TRUE(EncodeExactPress({ExactProtocol::kSony12, 0x01, 0x15, 12}, 1, &sony));
  nec.pop_back();
  sony.pop_back();
  Periods rc6_mode3 = Rc6(3, 0, 0x040C, 16);
  Periods rc5_13_bits = Rc5(0);
  rc5_13_bits.resize(rc5_13_bits.size() - 3);
  Periods xmp_bad_check = Xmp(0);
  xmp_bad_check[3] += 136;
  const std::pair<const char*, Periods> cases[] = {
      {"NEC", nec},
      {"Sony 12", sony},
      {"RC-6 mode 3", rc6_mode3},
      {"noise", {300, 4000, 280, 350, 2000}},
      {"extreme periods", {417, INT32_MAX, INT32_MAX, INT32_MAX, 210, INT32_MAX, 2666, INT32_MAX}},
  };
  for (const auto& [name, periods] : cases)
    EXPECT_FALSE(ReadBiphaseBurst(periods)) << name << ": " << Shown(ReadBiphaseBurst(periods));
  // A stuck line inside frames that open as RC-MM or as a serial frame: no named code (and no
  // overflow, which the sanitizers watch for).
  constexpr int32_t kStuck = INT32_MAX;
  for (const Periods& stuck : {Periods{417, 278, 167, kStuck, 167, kStuck, 167, kStuck, 167, kStuck,
                                       167, kStuck, 167, kStuck, 167},
                               Periods{500, 500, kStuck, 500, 500, 500, 500, 500, 500}}) {
    ExactDecoder decoder;
    const std::optional<ExactCode> code = decoder.Burst(stuck, 0);
    EXPECT_TRUE(!code || code->protocol == ExactProtocol::kTimingHash) << Shown(code);
  }
  // A frame of a named protocol is never also a generic one.
  EXPECT_FALSE(ReadManchesterFrame(Rc5(0), 0));
  // XMP nibbles that do not check are read all, each half whole.
  const std::optional<ExactCode> unchecked = ReadBiphaseBurst(xmp_bad_check);
  EXPECT_TRUE(unchecked && unchecked->SameKey({ExactProtocol::kXmp, 0x180F443E, 0x14000B00, 64}))
      << Shown(unchecked);
  // Off their grid (one distance 60 us long), such nibbles could be another key's: none.
  xmp_bad_check[5] += 60;
  EXPECT_FALSE(ReadBiphaseBurst(xmp_bad_check)) << Shown(ReadBiphaseBurst(xmp_bad_check));
  // A cut RC-5 frame is another Manchester frame, not RC-5.
  const std::optional<ExactCode> cut = ReadBiphaseBurst(rc5_13_bits);
  EXPECT_TRUE(!cut || cut->protocol == ExactProtocol::kBiphase) << Shown(cut);
}

TEST(ExactBiphase, TheFirstCompleteFrameOfABurstCounts) {
  Periods burst = Rc5(0);
  burst.resize(9);  // a frame whose start was missed
  burst.push_back(40000);
  Periods second;
  ASSERT_TRUE(WriteBiphaseFrame({ExactProtocol::kRc6, 0x04, 0x21, 0}, &second));
  ASSERT_TRUE(WriteBiphaseFrame({ExactProtocol::kRc6, 0x04, 0x22, 0}, &second));
  burst.insert(burst.end(), second.begin(), second.end());
  const std::optional<ExactCode> code = ReadBiphaseBurst(Burst(burst));
  EXPECT_TRUE(code && code->SameKey({ExactProtocol::kRc6, 0x04, 0x21, 16})) << Shown(code);
}

// The bursts of a recording.
std::vector<Periods> RecordedBursts(const std::string& name) {
  Mode2Recording recording;
  std::string error;
  EXPECT_EQ(ReadMode2File(KORU_SOURCE_DIR "/tests/receiver/exact/" + name, &recording, &error), kOk)
      << error;
  Periods periods;
  for (const Mode2Entry& entry : recording)
    if (!periods.empty() || entry.pulse)
      periods.push_back(static_cast<int32_t>(entry.microseconds));
  std::vector<Periods> bursts;
  for (TimedBurst& burst : SplitBursts(periods)) bursts.push_back(std::move(burst.periods));
  return bursts;
}

TEST(ExactBiphase, RecordedRemotesGiveEveryKeyItsOwnCodeOnEveryPress) {
  struct Recording {
    const char* file;
    size_t keys;
    size_t presses;   // of each key, one after the other
    ExactCode first;  // the first key's code
    // Independent jitter of every period (0: the slow receiver of Skewed). RC-6's unit is
    // 444 us: ±200 us leaves 22 us for the remote's own error, and the second remote of the
    // mceusb file sends 455/427 us, the Aspire one 482/420 us (and double spaces 48 us short).
    int32_t jitter_us;
    ExactProtocol also = first.protocol;  // the protocol of some other keys
  };
  const Recording recordings[] = {
      {"rc5_streamzap.mode2", 35, 2, {ExactProtocol::kRc5, 0xA3, 0x00, 15}, 200},
      {"rc5_tv.mode2", 17, 2, {ExactProtocol::kRc5, 0x05, 0x00, 14}, 200, ExactProtocol::kRc5x},
      {"rc6_tv.mode2", 12, 2, {ExactProtocol::kRc6, 0x04, 0x00, 16}, 200},
      {"rc6a_mceusb.mode2", 181, 1, {ExactProtocol::kRc6A, 0x800F04, 0x80, 32}, 150},
      {"rc6a_aspire.mode2", 45, 2, {ExactProtocol::kRc6A, 0x800F04, 0x0C, 32}, 100},
      {"rcmm32.mode2", 10, 2, {ExactProtocol::kRcmm, 0x8000, 0x0001, 32}, 0},
      {"xmp.mode2", 10, 2, {ExactProtocol::kXmp, 0x10443E, 0x0000, 64}, 0},
  };
  std::mt19937 random(20);
  for (const Recording& r : recordings) {
    const std::vector<Periods> bursts = RecordedBursts(r.file);
    ASSERT_EQ(bursts.size(), r.keys * r.presses) << r.file;
    std::set<std::string> codes;
    for (size_t key = 0; key < r.keys; ++key) {
      const std::optional<ExactCode> code = ReadBiphaseBurst(bursts[key * r.presses]);
      ASSERT_TRUE(code && (code->protocol == r.first.protocol || code->protocol == r.also))
          << r.file << " key " << key << ": " << Shown(code);
      if (key == 0) {
        EXPECT_TRUE(code->SameKey(r.first) && code->bits == r.first.bits)
            << r.file << ": " << Shown(code);
      }
      codes.insert(ExactField(*code));
      for (size_t press = 0; press < r.presses; ++press) {
        const Periods& burst = bursts[key * r.presses + press];
        const Periods shaken =
            r.jitter_us == 0 ? Skewed(burst, random) : Jittered(burst, random, r.jitter_us);
        const std::optional<ExactCode> again = ReadBiphaseBurst(shaken);
        EXPECT_TRUE(again && again->SameKey(*code))
            << r.file << " key " << key << " press " << press << ": " << Shown(again) << " from"
            << Listed(shaken);
      }
    }
    EXPECT_EQ(codes.size(), r.keys) << r.file;  // every key a code of its own
  }
}

}  // namespace
