// The default (burst) evaluation: through the receiver thread on the replay's virtual clock, on
// every built-in key as the frame encoder sends it and on exact codes of every protocol, held
// and let go; and its rules on hand-made bursts.
#include "receiver/burst_evaluation.h"

#include <gtest/gtest.h>

#include <numeric>

#include "periods.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/pulse_distance_timing.h"
#include "remotes/builtin_remotes.h"
#include "remotes/frame_encoder.h"
#include "remotes/key_match.h"
#include "settings/label_table.h"
#include "test_files.h"

namespace koru {

namespace {

using Outcome = BurstEvaluation::Outcome;
constexpr uint64_t kSlot = 2000000;  // one press per slot of the recording
// 16 bits of 526 us marks and 526 / 1574 us spaces, with the closing mark.
constexpr const char* kSixteenBits = "526,1574,526,526,526,526*5 526,1574 526";

// The periods of a press up to and including the gap after its first frame.
std::vector<int32_t> FirstFrame(const std::vector<int32_t>& periods) {
  for (size_t i = 1; i < periods.size(); i += 2)
    if (periods[i] > BurstEvaluation::kWall) return {periods.begin(), periods.begin() + i + 1};
  return periods;
}

// A burst after a long quiet time, at its end: "not ready" while it may go on, else the family,
// the exact field and the code text.
std::string AtBurstEnd(const std::string& periods) {
  BurstEvaluation burst(false);
  burst.Start();
  for (const int32_t p : PeriodsOf("500000 " + periods))
    EXPECT_EQ(burst.Add(p, false, 0), Outcome::kCollecting);
  if (!burst.ReadyToEnd()) return "not ready";
  if (burst.EndBurst(1000000) != Outcome::kDecoded) return "nothing";
  return std::to_string(burst.Family()) + " " + (burst.Exact() ? ExactField(*burst.Exact()) : "-") +
         " " + burst.Code();
}

class BuiltinKeys : public ::testing::Test {
 protected:
  static bool Encoded(const RemoteDefinition& remote, int32_t k, int32_t extra, KeyPress* press) {
    return EncodeKeyPress(remote.header_, remote.mode_, remote.Slot(k), extra, press, nullptr) ==
           kOk;
  }
  void SetUp() override { AppendBuiltinRemotes(&builtin_); }

  // Every key of every built-in remote that the encoder can send, one a slot (its first frame
  // alone, or with `extra` frames held): each reported in its own slot, `least` to `most`
  // times, as that key only.
  void CheckEveryKey(int32_t extra, bool first_frame_only, int least, int most) {
    Mode2Recording recording = RecordingOf({});
    std::vector<std::pair<std::string, const RemoteDefinition*>> presses;
    for (const auto& remote : builtin_) {
      for (int32_t k = 1; k < kKeySlots; ++k) {
        KeyPress press;
        if (remote->Slot(k) <= 0 || !Encoded(*remote, k, extra, &press)) continue;
        AppendPeriods(&recording, first_frame_only ? FirstFrame(press.periods) : press.periods,
                      kSlot);
        presses.push_back({remote->name_ + " " + getLabel(50 + k), remote.get()});
      }
    }
    ASSERT_GT(presses.size(), 900u);
    std::vector<int> reports(presses.size(), 0);
    for (const TimedReport& r : Replayed(recording)) {
      if (r.report.family == 0) continue;
      const size_t slot = static_cast<size_t>((r.time - kReplayLeadIn) / bigtime_t{kSlot});
      ASSERT_LT(slot, presses.size());
      ++reports[slot];
      EXPECT_EQ(KeyOf(r.report.code, *presses[slot].second), presses[slot].first) << r.time;
    }
    for (size_t i = 0; i < presses.size(); ++i)
      EXPECT_TRUE(reports[i] >= least && reports[i] <= most) << presses[i].first << reports[i];
  }

  // The key a code text stands for on `remote` (matched against it alone: among all built-in
  // remotes, two one-byte remotes hide behind two-byte ones with their headers).
  static std::string KeyOf(const std::string& text, const RemoteDefinition& remote) {
    RemoteList alone;
    alone.push_back(std::make_unique<RemoteDefinition>());
    alone.back()->CopyFrom(remote);
    KeyMatch match;
    if (!MatchCodeText(alone, text, false, &match)) return "(not this remote) " + text;
    return match.remote_label + " " + match.key_label;
  }

  RemoteList builtin_;
};

TEST_F(BuiltinKeys, EveryKeyIsRecognisedFromItsFirstFrameAloneAndHeldGivesOnlyItsOwnCode) {
  CheckEveryKey(0, true, 1, 1);
  CheckEveryKey(6, false, 2, 1000);  // reported again while held
}

TEST_F(BuiltinKeys, TheKeyAfterAHeldNecKeyIsRight) {
  const RemoteDefinition* nec = RemoteDefinition::FindRemote(&builtin_, "NEC184");
  ASSERT_NE(nec, nullptr);
  // The NEC key held: one frame, then a repeat code (9 ms, 2.25 ms, a 560 us mark) every 110 ms.
  KeyPress held;
  ASSERT_TRUE(Encoded(*nec, 1, 0, &held));
  std::vector<int32_t> nec_held = FirstFrame(held.periods);
  nec_held.back() = 110000 - std::accumulate(nec_held.begin(), nec_held.end() - 1, 0);
  for (const int32_t p : PeriodsOf("9000,2250,560,98190*9")) nec_held.push_back(p);
  // The first key of every remote, each after the NEC key was held for a second and the pause
  // that follows the last repeat's report.
  Mode2Recording recording = RecordingOf({});
  std::vector<std::string> expected;
  std::vector<const RemoteDefinition*> pressed;
  for (const auto& remote : builtin_) {
    KeyPress press;
    if (remote.get() == nec || !Encoded(*remote, 1, 0, &press)) continue;
    AppendPeriods(&recording, nec_held, 1500000);
    AppendPeriods(&recording, FirstFrame(press.periods), kSlot);
    expected.push_back(remote->name_ + " " + getLabel(51));
    pressed.push_back(remote.get());
  }
  const std::string nec_key = "NEC184 " + std::string(getLabel(51));
  size_t nec_reports = 0;
  const auto keys_after = [&](Evaluation evaluation) {
    std::vector<std::string> others;
    for (const TimedReport& r : Replayed(recording, evaluation)) {
      const std::string& code = r.report.code;
      if (r.report.family == 0) continue;
      if (KeyOf(code, *nec) == nec_key)
        ++nec_reports;
      else
        others.push_back(others.size() < pressed.size() ? KeyOf(code, *pressed[others.size()])
                                                        : code);
    }
    return others;
  };
  EXPECT_EQ(keys_after(Evaluation::kBurst), expected);
  EXPECT_GE(nec_reports, expected.size());
  // The classic evaluation reads the repeat codes into the next key.
  EXPECT_NE(keys_after(Evaluation::kClassic), expected);
}

TEST(BurstRules, FramesWithoutHeaderRepeatTheKeyOfTheFrameBefore) {
  // A remote that repeats its frame without the 8.4 ms + 4.2 ms header while the key is held,
  // a frame every 55 ms.
  Mode2Recording recording = RecordingOf({});
  for (int i = 0; i <= 20; ++i)
    AppendPeriods(&recording, PeriodsOf((i == 0 ? "8400 4200 " : "") + std::string(kSixteenBits)),
                  55000);
  std::vector<std::string> texts;
  for (const TimedReport& r : Replayed(recording))
    if (r.report.family != 0) texts.push_back(r.report.code);
  ASSERT_GE(texts.size(), 3u);  // the first frame, then repeats while held
  for (const std::string& text : texts) EXPECT_EQ(text, texts[0]);
}

TEST(BurstRules, AShortNoiseSegmentIsDroppedWithItsWallAShortSerialFrameIsAKey) {
  // A 16-bit frame, then (or not) a stray pair 12 ms after it: the frame alone is evaluated.
  const std::string frame = "8400 4200 " + std::string(kSixteenBits);
  EXPECT_NE(AtBurstEnd(frame).find("_16B"), std::string::npos) << AtBurstEnd(frame);
  EXPECT_EQ(AtBurstEnd(frame + " 12000 300 300"), AtBurstEnd(frame));
  // A short serial frame is reported with its exact code only; short noise waits on.
  EXPECT_TRUE(AtBurstEnd("833 833 9996").starts_with("0 Serial:0x0E:0x1000 "));
  EXPECT_EQ(AtBurstEnd("150 300 120 900 200"), "not ready");
}

TEST(BurstRules, TheInvertedSecondFrameOfADenonKeyIsNoKeyOfItsOwn) {
  KeyPress press;
  ASSERT_EQ(EncodeKeyPress(222078, 23, DenonCode(2, 5), 0, &press, nullptr), kOk);
  const std::vector<TimedBurst> frames = SplitBursts(press.periods);
  ASSERT_GE(frames.size(), 2u);
  for (const bigtime_t later : {bigtime_t{100000}, bigtime_t{600000}}) {
    BurstEvaluation burst(false);
    burst.Start();
    burst.Add(500000, false, 0);
    for (int32_t p : frames[0].periods) burst.Add(p, false, 0);
    ASSERT_EQ(burst.EndBurst(1000000), Outcome::kDecoded);
    EXPECT_EQ(burst.Family(), 3);
    const std::string first = burst.Code();
    burst.Add(press.periods[frames[0].periods.size()], false, 0);  // the gap between the frames
    for (int32_t p : frames[1].periods) burst.Add(p, false, 0);
    // Long after: a key of its own (the bits of another code).
    const bool own_key = later >= BurstEvaluation::kDenonPair;
    ASSERT_EQ(burst.EndBurst(1000000 + later), own_key ? Outcome::kDecoded : Outcome::kCollecting);
    EXPECT_TRUE(!own_key || burst.Code() != first) << first;
  }
}

// The reports with an exact code of a recording: virtual time, exact field, code text, family
// and valid bits.
std::vector<std::pair<bigtime_t, std::string>> ExactReports(const Mode2Recording& recording) {
  std::vector<std::pair<bigtime_t, std::string>> reports;
  for (const TimedReport& r : Replayed(recording)) {
    if (r.report.family == 0 && !r.report.exact) continue;
    reports.push_back({r.time, (r.report.exact ? ExactField(*r.report.exact) : "-") + " " +
                                   r.report.code + " " + std::to_string(r.report.family) + " " +
                                   std::to_string(r.report.valid_bits)});
  }
  return reports;
}

// A press of `field` with `extra` more frames, every period moved by up to 200 us.
std::vector<int32_t> Press(const std::string& field, int32_t extra, uint32_t seed) {
  std::vector<int32_t> periods;
  EXPECT_TRUE(EncodeExactPress(*ParseExactField(field), extra, &periods)) << field;
  std::mt19937 rng(seed);
  return Jittered(periods, 200, &rng);
}

// Every report of a held key, the first and each repeat, carries the key's own codes.
TEST(HeldKeys, EveryReportOfAHeldKeyCarriesItsOwnCodes) {
  uint32_t seed = 1;
  for (const auto& row : ReadTable("receiver/data/named_presses.tsv", 2)) {
    if (row[1].find("held") == std::string::npos) continue;
    const bool repeat_frames = row[1].ends_with('+');
    const std::string& field = row[0];
    const auto reports = ExactReports(RecordingOf(Press(field, 5, seed++)));
    ASSERT_GE(reports.size(), repeat_frames ? 3u : 2u) << field;
    for (const auto& [time, report] : reports) {
      // A repeat frame reports the key's report again; a whole frame is read anew, and the
      // classic decoders may read a jittered one differently.
      EXPECT_EQ(report.substr(0, field.size() + 1), field + " ") << report << " at " << time;
      EXPECT_TRUE(!repeat_frames || report == reports[0].second) << report << " at " << time;
    }
  }
}

TEST(HeldKeys, RepeatFramesWithoutTheirKeyReportNothing) {
  const std::vector<int32_t> repeats = PeriodsOf("9000,2250,560,96190*5");
  const auto with_repeats = [&repeats](std::vector<int32_t> periods) {
    periods.insert(periods.end(), repeats.begin(), repeats.end());
    std::vector<std::string> fields;
    for (const auto& [time, report] : ExactReports(RecordingOf(periods)))
      fields.push_back(report.substr(0, report.find(' ')));
    return fields;
  };
  using Fields = std::vector<std::string>;
  // Alone (after a stray pulse: the recording starts with one).
  EXPECT_EQ(with_repeats({560, 200000}), Fields{});
  // After a pause longer than a held key leaves between two repeat frames.
  std::vector<int32_t> paused = Press("NEC:0x04:0x08", 0, 7);
  paused.back() += 600000;
  EXPECT_EQ(with_repeats(paused), Fields{"NEC:0x04:0x08"});
  // After a frame of another protocol, whose lead-in differs.
  EXPECT_EQ(with_repeats(Press("Kaseikyo:0x20020100:0x3D", 0, 8)),
            Fields{"Kaseikyo:0x20020100:0x3D"});
}

TEST(HeldKeys, AnotherPressHeardInPartEndsTheHeldKey) {
  // The evaluation alone, as the thread drives it: after a report the next period is measured
  // from the resume. A NEC key, then (or not) the latter part of another key's frame, heard
  // after the resume, then a repeat frame.
  std::vector<int32_t> first = Press("NEC:0x04:0x08", 0, 11);
  std::vector<int32_t> other = Press("NEC:0x04:0x09", 0, 12);
  first.pop_back();  // the frame's gap: the burst ends by its quiet time
  other.pop_back();
  constexpr bigtime_t kReported = 1000000;
  struct Case {
    bool other_heard;
    bigtime_t repeat_ends;  // after the report
    bool reported;
  };
  for (const Case& c :
       {Case{false, 300000, true}, Case{false, 500000, false}, Case{true, 300000, false}}) {
    BurstEvaluation burst(false);
    burst.Start();
    burst.Add(500000, false, 0);
    // Reported as soon as it is whole but for its stop pulse, which comes after the resume.
    int decoded = 0;
    for (const int32_t period : first)
      decoded += burst.Add(period, false, kReported) == Outcome::kDecoded;
    ASSERT_EQ(decoded, 1);
    ASSERT_TRUE(burst.Exact());
    const std::string code = burst.Code();
    if (c.other_heard)
      for (size_t i = 20; i < other.size(); ++i) burst.Add(other[i], false, kReported + 100000);
    const bigtime_t end = kReported + c.repeat_ends;
    for (const int32_t period : {40000, 9000, 2250, 560}) burst.Add(period, false, end);
    ASSERT_TRUE(burst.ReadyToEnd());
    ASSERT_EQ(burst.EndBurst(end), c.reported ? Outcome::kDecoded : Outcome::kCollecting)
        << c.repeat_ends;
    if (c.reported) {
      EXPECT_EQ(burst.Code() + (" " + Shown(burst.Exact())), code + " NEC:0x04:0x08 (32 bits)");
    }
  }
}

// A press of every named protocol is reported with its own exact code as soon as its first
// frame is whole (within 2 ms of the frame's last edge), a shorter form never taken for a longer
// one's start, with and without jitter; generic frames keep the burst end.
TEST(FrameCompletion, ANamedFrameIsReportedWhenWholeAGenericOneAtTheBurstEnd) {
  // Samsung's shape: a 4.5 ms + 4.5 ms lead-in, 32 bits, a final mark (a generic code), whose
  // length is known all the same.
  const auto check = [](const std::string& what, const std::vector<int32_t>& periods, bool halves,
                        bool length_known = false) {
    // The first frame ends at its first gap (an XMP frame at its second: between its halves).
    bigtime_t last_edge = kReplayLeadIn + 300000;
    for (size_t i = 0, gaps = halves ? 2 : 1; i < periods.size(); ++i) {
      if (i % 2 == 1 && periods[i] > kFrameGap && --gaps == 0) break;
      last_edge += periods[i];
    }
    // What the exact decoder reads from the press's first burst whole.
    const std::vector<int32_t> burst = SplitBursts(periods)[0].periods;
    const std::optional<ExactCode> whole = ExactDecoder().Burst(burst, 0);
    std::optional<ExactCode> first;
    bigtime_t after_last_edge = 0;
    Mode2Recording recording = RecordingOf(periods);
    AppendMode2(&recording, false, 1000000);
    for (const TimedReport& r : Replayed(recording)) {
      if (first || !r.report.exact) continue;
      first = r.report.exact;
      after_last_edge = r.time - last_edge;
    }
    // The code the burst end would have read; jitter may damage a frame past reading.
    EXPECT_EQ(Shown(first), Shown(whole)) << what;
    if (!first) return std::string();
    using P = ExactProtocol;
    if (length_known || (first->protocol != P::kPulseDistance && first->protocol != P::kBiphase &&
                         first->protocol != P::kHash && first->protocol != P::kTimingHash)) {
      EXPECT_GE(after_last_edge, -1000) << what;  // (a NEC frame before its stop pulse)
      EXPECT_LE(after_last_edge, 2000) << what;
    } else {
      EXPECT_GT(after_last_edge, BurstEvaluation::kBurstEnd) << what;
    }
    return ExactField(*first);
  };
  for (const auto& row : ReadTable("receiver/data/named_presses.tsv", 2)) {
    if (!row[1].starts_with("whole")) continue;
    const std::string& press = row[0];
    const ExactCode code = *ParseExactField(press);
    std::vector<int32_t> periods;
    ASSERT_TRUE(EncodeExactPress(code, 0, &periods)) << press;
    const bool halves = code.protocol == ExactProtocol::kXmp;
    EXPECT_EQ(check(press, periods, halves), ExactField(code));
    for (uint32_t seed = 1; seed <= 4; ++seed) {
      std::mt19937 rng(seed);
      check(press + " seed " + std::to_string(seed), Jittered(periods, 200, &rng), halves);
    }
  }
  const std::vector<int32_t> samsung =
      PeriodsOf("4500 4500 560,1690,560,560,560,560*10 560,1690 560,560 560 100000");
  EXPECT_TRUE(check("Samsung", samsung, false, true).starts_with("PDist:0x20:"));
}

}  // namespace

}  // namespace koru
