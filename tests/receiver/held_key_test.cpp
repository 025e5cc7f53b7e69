// Keys held down, through the receiver thread on the replay session's virtual clock: every
// report of a held key, the first and each repeat, carries the key's own codes; repeat frames
// without a key held before them report nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/lines/mode2_recording.h"
#include "platform/messaging/trace.h"
#include "receiver/burst_evaluation.h"
#include "receiver/exact/exact_encoder.h"
#include "receiver/replay_session.h"

namespace {

constexpr int32_t kQuietBefore = 300000;

struct HeldReport {
  bigtime_t time;
  std::string blink;
  int32_t family;
  int32_t bits;
  std::string exact;
};

std::vector<HeldReport> ReportsOf(const std::vector<int32_t>& periods) {
  Mode2Recording recording;
  AppendMode2(&recording, false, kQuietBefore);
  for (size_t i = 0; i < periods.size(); ++i) AppendMode2(&recording, i % 2 == 0, periods[i]);
  std::vector<HeldReport> reports;
  TraceCapture quiet;
  ReplayThroughReceiver(recording, [&](bigtime_t time, const ReceiverReport& report) {
    if (report.family == 0 && !report.exact) return;
    reports.push_back({time, report.code, report.family, report.valid_bits,
                       report.exact ? ExactField(*report.exact) : ""});
  });
  return reports;
}

// A press of `field` with `extra` more frames, every period moved by up to 200 us.
std::vector<int32_t> Press(const std::string& field, int32_t extra, uint32_t seed) {
  std::vector<int32_t> periods;
  EXPECT_TRUE(EncodeExactPress(*ParseExactField(field), extra, &periods)) << field;
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> shift(-200, 200);
  for (int32_t& period : periods) period = std::max(1, period + shift(rng));
  return periods;
}

// NEC's repeat frame, one repeat period each.
void AppendRepeatFrames(std::vector<int32_t>* periods, int32_t count) {
  for (int32_t i = 0; i < count; ++i) periods->insert(periods->end(), {9000, 2250, 560, 96190});
}

TEST(HeldKeys, EveryReportOfAHeldKeyCarriesItsOwnCodes) {
  struct Held {
    const char* field;
    bool repeat_frames;  // repeat frames without data, else whole frames again
  };
  const Held kHeld[] = {{"NEC:0x04:0x08", true},
                        {"NECx:0x1234:0x56", true},
                        {"NEC32:0x1234:0x5678", true},
                        {"Sanyo:0x123:0x45", true},
                        {"Kaseikyo:0x20020100:0x3D", false},
                        {"JVC:0x03:0x17", false},
                        {"Sony12:0x01:0x15", false},
                        {"RC-5:0x1E:0x0C", false},
                        {"RC-6:0x00:0x0C", false},
                        {"Sharp:0x01:0x02", false}};
  uint32_t seed = 1;
  for (const Held& held : kHeld) {
    const std::string field = held.field;
    const std::vector<HeldReport> reports = ReportsOf(Press(field, 5, seed++));
    ASSERT_GE(reports.size(), held.repeat_frames ? 3u : 2u) << field;
    for (const HeldReport& report : reports) {
      EXPECT_EQ(report.exact, field) << field << " at " << report.time;
      // A repeat frame reports the key's report again; a whole frame is read anew, and the
      // classic decoders may read a jittered one differently.
      if (!held.repeat_frames) continue;
      EXPECT_EQ(report.blink, reports[0].blink) << field << " at " << report.time;
      EXPECT_EQ(report.family, reports[0].family) << field;
      EXPECT_EQ(report.bits, reports[0].bits) << field;
    }
  }
}

TEST(HeldKeys, RepeatFramesWithoutTheirKeyReportNothing) {
  std::vector<int32_t> nec = Press("NEC:0x04:0x08", 0, 7);
  const std::vector<int32_t> kaseikyo = Press("Kaseikyo:0x20020100:0x3D", 0, 8);

  // Repeat frames alone.
  std::vector<int32_t> alone;
  alone.push_back(560);  // a stray pulse: the recording starts with one
  alone.push_back(200000);
  AppendRepeatFrames(&alone, 5);
  EXPECT_TRUE(ReportsOf(alone).empty());

  // After a pause longer than a held key leaves between two repeat frames.
  std::vector<int32_t> paused = nec;
  paused.back() += 600000;
  AppendRepeatFrames(&paused, 5);
  std::vector<HeldReport> reports = ReportsOf(paused);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].exact, "NEC:0x04:0x08");

  // After a frame of another protocol, whose lead-in differs.
  std::vector<int32_t> after_other = kaseikyo;
  AppendRepeatFrames(&after_other, 5);
  reports = ReportsOf(after_other);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].exact, "Kaseikyo:0x20020100:0x3D");
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
      decoded += burst.Add(period, false, kReported) == BurstEvaluation::Outcome::kDecoded;
    ASSERT_EQ(decoded, 1);
    ASSERT_TRUE(burst.Exact());
    const std::string code = burst.Code();
    if (c.other_heard) {
      for (size_t i = 20; i < other.size(); ++i) burst.Add(other[i], false, kReported + 100000);
    }
    for (const int32_t period : {40000, 9000, 2250, 560})
      burst.Add(period, false, kReported + c.repeat_ends);
    ASSERT_TRUE(burst.ReadyToEnd());
    const bigtime_t end = kReported + c.repeat_ends;
    if (!c.reported) {
      EXPECT_EQ(burst.EndBurst(end), BurstEvaluation::Outcome::kCollecting) << c.repeat_ends;
      continue;
    }
    ASSERT_EQ(burst.EndBurst(end), BurstEvaluation::Outcome::kDecoded);
    EXPECT_EQ(burst.Code(), code);
    ASSERT_TRUE(burst.Exact());
    EXPECT_EQ(ExactField(*burst.Exact()), "NEC:0x04:0x08");
  }
}

}  // namespace
