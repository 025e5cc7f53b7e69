// The default (burst) evaluation end to end on a virtual clock, on recordings made with the
// frame encoder koru-encode uses, and its rules on hand-made bursts.
#include "receiver/burst_evaluation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/lines/mode2_recording.h"
#include "platform/messaging/trace.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/replay_session.h"
#include "receiver/report_line.h"
#include "remotes/builtin_remotes.h"
#include "remotes/frame_encoder.h"
#include "remotes/key_match.h"
#include "settings/label_table.h"

namespace {

constexpr uint64_t kSlot = 2000000;  // one press per slot of the recording

struct Press {
  std::string remote;
  int32_t key_function;
  RemoteDefinition* record;
};

struct Report {
  bigtime_t time;
  std::string text;
};

std::vector<Report> Reports(const Mode2Recording& recording, Evaluation evaluation) {
  std::vector<Report> reports;
  TraceCapture quiet;
  ReplayThroughReceiver(
      recording,
      [&](bigtime_t time, const ReceiverReport& report) {
        if (report.family != 0) reports.push_back({time, report.code});
      },
      evaluation);
  return reports;
}

// The periods of a press up to and including the gap after its first frame.
std::vector<int32_t> FirstFrame(const std::vector<int32_t>& periods) {
  for (size_t i = 1; i < periods.size(); i += 2)
    if (periods[i] > BurstEvaluation::kWall) return {periods.begin(), periods.begin() + i + 1};
  return periods;
}

void Append(Mode2Recording* recording, const std::vector<int32_t>& periods, uint64_t slot) {
  uint64_t total = 0;
  for (size_t i = 0; i < periods.size(); ++i) {
    AppendMode2(recording, i % 2 == 0, periods[i]);
    total += periods[i];
  }
  if (slot > total) AppendMode2(recording, false, slot - total);
}

class BuiltinKeys : public ::testing::Test {
 protected:
  void SetUp() override { AppendBuiltinRemotes(&builtin_); }

  // Every key of every built-in remote that the encoder can send, `extra` frames held.
  std::vector<Press> EveryKey(int32_t extra, bool first_frame_only, Mode2Recording* recording) {
    std::vector<Press> presses;
    AppendMode2(recording, false, 300000);
    for (const auto& remote : builtin_) {
      for (int32_t k = 1; k < kKeySlots; ++k) {
        const int32_t code = remote->Slot(k);
        if (code <= 0) continue;
        KeyPress press;
        if (EncodeKeyPress(remote->com_head_, remote->com_byte_, code, extra, &press, nullptr) !=
            kOk)
          continue;
        Append(recording, first_frame_only ? FirstFrame(press.periods) : press.periods, kSlot);
        presses.push_back({remote->name_, 50 + k, remote.get()});
      }
    }
    return presses;
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
  static std::string KeyOf(const Press& press) {
    return press.remote + " " + getLabel(press.key_function);
  }

  RemoteList builtin_;
};

TEST_F(BuiltinKeys, EveryKeyIsRecognisedFromItsFirstFrameAlone) {
  Mode2Recording recording;
  const std::vector<Press> presses = EveryKey(0, true, &recording);
  ASSERT_GT(presses.size(), 900u);
  const std::vector<Report> reports = Reports(recording, Evaluation::kBurst);
  ASSERT_EQ(reports.size(), presses.size());
  for (size_t i = 0; i < presses.size(); ++i) {
    // Within its own slot, as the one key pressed there.
    EXPECT_EQ((reports[i].time - 100000) / static_cast<bigtime_t>(kSlot), static_cast<int64_t>(i));
    EXPECT_EQ(KeyOf(reports[i].text, *presses[i].record), KeyOf(presses[i]));
  }
}

TEST_F(BuiltinKeys, AHeldKeyGivesOnlyItsOwnCode) {
  Mode2Recording recording;
  const std::vector<Press> presses = EveryKey(6, false, &recording);
  const std::vector<Report> reports = Reports(recording, Evaluation::kBurst);
  std::vector<int> per_press(presses.size(), 0);
  for (const Report& report : reports) {
    const size_t slot = static_cast<size_t>((report.time - 100000) / static_cast<bigtime_t>(kSlot));
    ASSERT_LT(slot, presses.size());
    ++per_press[slot];
    EXPECT_EQ(KeyOf(report.text, *presses[slot].record), KeyOf(presses[slot])) << report.time;
  }
  for (size_t i = 0; i < presses.size(); ++i)
    EXPECT_GE(per_press[i], 2) << KeyOf(presses[i]);  // reported again while held
}

// A long-code key held down: one frame, then a repeat code (9 ms, 2.25 ms, a 560 us mark)
// every 110 ms.
std::vector<int32_t> HeldNecKey(const RemoteDefinition& remote, int32_t repeats) {
  KeyPress press;
  EXPECT_EQ(EncodeKeyPress(remote.com_head_, remote.com_byte_, remote.Slot(1), 0, &press, nullptr),
            kOk);
  std::vector<int32_t> periods = FirstFrame(press.periods);
  int32_t frame = 0;
  for (int32_t p : periods) frame += p;
  periods.back() += 110000 - frame;
  for (int32_t i = 0; i < repeats; ++i) periods.insert(periods.end(), {9000, 2250, 560, 98190});
  return periods;
}

TEST_F(BuiltinKeys, TheKeyAfterAHeldNecKeyIsRight) {
  const RemoteDefinition* nec = RemoteDefinition::FindRemote(&builtin_, "NEC184");
  ASSERT_NE(nec, nullptr);
  // The first key of every remote, each after the NEC key was held for a second.
  Mode2Recording recording;
  AppendMode2(&recording, false, 300000);
  std::vector<std::string> expected;
  std::vector<const RemoteDefinition*> pressed;
  for (const auto& remote : builtin_) {
    KeyPress press;
    if (remote.get() == nec || EncodeKeyPress(remote->com_head_, remote->com_byte_, remote->Slot(1),
                                              0, &press, nullptr) != kOk)
      continue;
    // The next key comes after the pause that follows the last repeat's report.
    Append(&recording, HeldNecKey(*nec, 9), 1500000);
    Append(&recording, FirstFrame(press.periods), kSlot);
    expected.push_back(remote->name_ + " " + getLabel(51));
    pressed.push_back(remote.get());
  }
  const std::string nec_key = "NEC184 " + std::string(getLabel(51));
  const auto keys_after = [&](Evaluation evaluation, size_t* nec_reports) {
    std::vector<std::string> others;
    for (const Report& report : Reports(recording, evaluation)) {
      if (KeyOf(report.text, *nec) == nec_key) {
        ++*nec_reports;
      } else {
        const size_t i = others.size();
        others.push_back(i < pressed.size() ? KeyOf(report.text, *pressed[i]) : report.text);
      }
    }
    return others;
  };
  size_t nec_reports = 0;
  EXPECT_EQ(keys_after(Evaluation::kBurst, &nec_reports), expected);
  EXPECT_GE(nec_reports, expected.size());
  // The classic evaluation reads the repeat codes into the next key.
  EXPECT_NE(keys_after(Evaluation::kClassic, &nec_reports), expected);
}

}  // namespace

namespace {

// A remote that repeats its frame without the header while the key is held (16 bits, 8.4 ms +
// 4.2 ms header, 526 us marks, 526 / 1574 us spaces, a frame every 55 ms).
Mode2Recording JvcStyleHeld(int32_t repeats) {
  const auto frame = [](bool header) {
    std::vector<int32_t> periods;
    if (header) periods = {8400, 4200};
    for (int bit = 0; bit < 16; ++bit) periods.insert(periods.end(), {526, bit % 3 ? 526 : 1574});
    periods.push_back(526);
    return periods;
  };
  Mode2Recording recording;
  AppendMode2(&recording, false, 300000);
  for (int32_t i = 0; i <= repeats; ++i) {
    const std::vector<int32_t> periods = frame(i == 0);
    int32_t length = 0;
    for (size_t p = 0; p < periods.size(); ++p) {
      AppendMode2(&recording, p % 2 == 0, periods[p]);
      length += periods[p];
    }
    AppendMode2(&recording, false, 55000 - length);
  }
  return recording;
}

TEST(BurstRules, FramesWithoutHeaderRepeatTheKeyOfTheFrameBefore) {
  std::vector<std::string> texts;
  TraceCapture quiet;
  ReplayThroughReceiver(JvcStyleHeld(20), [&](bigtime_t, const ReceiverReport& report) {
    if (report.family != 0) texts.push_back(report.code);
  });
  ASSERT_GE(texts.size(), 3u);  // the first frame, then repeats while held
  for (const std::string& text : texts) EXPECT_EQ(text, texts[0]);
}

TEST(BurstRules, AShortNoiseSegmentIsDroppedWithItsWall) {
  // A 16-bit frame after a long quiet time, then (or not) a stray pair 12 ms after it: at the
  // burst end the frame alone is evaluated.
  const auto evaluate = [](bool noise) {
    BurstEvaluation burst(false);
    burst.Start();
    std::vector<int32_t> periods = {500000, 8400, 4200};
    for (int bit = 0; bit < 16; ++bit) periods.insert(periods.end(), {526, bit % 3 ? 526 : 1574});
    periods.push_back(526);
    if (noise) periods.insert(periods.end(), {12000, 300, 300});
    for (int32_t p : periods)
      EXPECT_EQ(burst.Add(p, false, 0), BurstEvaluation::Outcome::kCollecting);
    EXPECT_TRUE(burst.ReadyToEnd());
    EXPECT_EQ(burst.EndBurst(1000000), BurstEvaluation::Outcome::kDecoded);
    return std::string(burst.Code());
  };
  const std::string clean = evaluate(false);
  EXPECT_NE(clean.find("_16B"), std::string::npos) << clean;
  EXPECT_EQ(evaluate(true), clean);
}

// The frames of a press, each with the quiet period before it.
std::vector<std::vector<int32_t>> Frames(const std::vector<int32_t>& periods, int32_t lead) {
  std::vector<std::vector<int32_t>> frames(1, {lead});
  for (size_t i = 0; i < periods.size(); ++i) {
    if (i % 2 == 1 && periods[i] > BurstEvaluation::kWall) {
      frames.push_back({periods[i]});
    } else {
      frames.back().push_back(periods[i]);
    }
  }
  frames.pop_back();  // the quiet period after the last frame
  return frames;
}

TEST(BurstRules, TheInvertedSecondFrameOfADenonKeyIsNoKeyOfItsOwn) {
  KeyPress press;
  ASSERT_EQ(EncodeKeyPress(222078, 23, DenonCode(2, 5), 0, &press, nullptr), kOk);
  const auto frames = Frames(press.periods, 500000);
  ASSERT_GE(frames.size(), 2u);
  for (const bigtime_t later : {bigtime_t{100000}, bigtime_t{600000}}) {
    BurstEvaluation burst(false);
    burst.Start();
    for (int32_t p : frames[0]) burst.Add(p, false, 0);
    ASSERT_EQ(burst.EndBurst(1000000), BurstEvaluation::Outcome::kDecoded);
    EXPECT_EQ(burst.Family(), 3);
    const std::string first = burst.Code();
    for (int32_t p : frames[1]) burst.Add(p, false, 0);
    if (later < BurstEvaluation::kDenonPair) {
      EXPECT_EQ(burst.EndBurst(1000000 + later), BurstEvaluation::Outcome::kCollecting);
    } else {
      // Long after: a key of its own (the bits of another code).
      ASSERT_EQ(burst.EndBurst(1000000 + later), BurstEvaluation::Outcome::kDecoded);
      EXPECT_NE(burst.Code(), first);
    }
  }
}

TEST(BurstRules, ALongFrameIsReportedWhenItEndsWithItsWholeExactCode) {
  // Two Kaseikyo keys: one classic code (its decoders read the first 32 bits, at the 67th
  // period), two exact codes, read when the frame has ended.
  std::string classic;
  std::vector<std::string> exact;
  for (const char* field : {"Kaseikyo:0x20020100:0x3D", "Kaseikyo:0x20020100:0x3E"}) {
    std::vector<int32_t> periods;
    ASSERT_TRUE(EncodeExactPress(*ParseExactField(field), 0, &periods));
    BurstEvaluation burst(false);
    burst.Start();
    const auto frames = Frames(periods, 500000);
    for (const int32_t p : frames[0])
      EXPECT_EQ(burst.Add(p, false, 0), BurstEvaluation::Outcome::kCollecting);
    ASSERT_EQ(burst.EndBurst(1000000), BurstEvaluation::Outcome::kDecoded);
    if (classic.empty()) classic = burst.Code();
    EXPECT_EQ(burst.Code(), classic);
    ASSERT_TRUE(burst.Exact());
    exact.push_back(ExactField(*burst.Exact()));
  }
  EXPECT_EQ(exact,
            (std::vector<std::string>{"Kaseikyo:0x20020100:0x3D", "Kaseikyo:0x20020100:0x3E"}));
}

}  // namespace
