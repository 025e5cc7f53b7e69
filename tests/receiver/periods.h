#pragma once
// Periods for the receiver tests: written as text, jittered, cut into the bursts the receiver
// hands to the exact decoder, and played through the receiver thread on its virtual clock; the
// exact codes read from them, shown and compared with the forms the tests' tables write.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/lines/mode2_recording.h"
#include "platform/messaging/trace.h"
#include "receiver/exact/exact_code.h"
#include "receiver/replay_session.h"

namespace koru {

// "9000 4500 560,1690*3 560": the numbers in order, a group "a,b*K" repeated K times.
inline std::vector<int32_t> PeriodsOf(const std::string& text) {
  std::vector<int32_t> periods;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const size_t star = word.find('*');
    const int repeats = star == std::string::npos ? 1 : std::stoi(word.substr(star + 1));
    std::istringstream group(word.substr(0, star));
    std::vector<int32_t> values;
    for (std::string value; std::getline(group, value, ',');) values.push_back(std::stoi(value));
    for (int n = 0; n < repeats; ++n) periods.insert(periods.end(), values.begin(), values.end());
  }
  return periods;
}

// Every period moved by up to `us` either way, uniformly.
inline std::vector<int32_t> Jittered(std::vector<int32_t> periods, int32_t us, std::mt19937* rng) {
  if (us == 0) return periods;
  std::uniform_int_distribution<int32_t> shift(-us, us);
  for (int32_t& period : periods) period = std::max(1, period + shift(*rng));
  return periods;
}

struct TimedBurst {
  std::vector<int32_t> periods;
  int64_t end_us = 0;  // when the last pulse ended, counted from the press's start
};

// A press's periods (a pulse first) cut where the line is quiet for more than 15 ms.
inline std::vector<TimedBurst> SplitBursts(const std::vector<int32_t>& periods) {
  constexpr int32_t kBurstEnd = 15000;
  std::vector<TimedBurst> bursts(1);
  int64_t time = 0;
  for (size_t i = 0; i < periods.size(); ++i) {
    time += periods[i];
    if (i % 2 == 1 && periods[i] > kBurstEnd) {
      if (!bursts.back().periods.empty()) bursts.emplace_back();
      continue;
    }
    bursts.back().periods.push_back(periods[i]);
    if (i % 2 == 0) bursts.back().end_us = time;
  }
  if (bursts.back().periods.empty()) bursts.pop_back();
  return bursts;
}

// Appends `periods` (a pulse first) to a recording, then space up to `slot` us in all.
inline void AppendPeriods(Mode2Recording* recording, const std::vector<int32_t>& periods,
                          uint64_t slot = 0) {
  uint64_t total = 0;
  for (size_t i = 0; i < periods.size(); ++i) {
    AppendMode2(recording, i % 2 == 0, periods[i]);
    total += periods[i];
  }
  if (slot > total) AppendMode2(recording, false, slot - total);
}

// `periods` after `quiet` us of quiet line.
inline Mode2Recording RecordingOf(const std::vector<int32_t>& periods, uint64_t quiet = 300000) {
  Mode2Recording recording;
  if (quiet > 0) AppendMode2(&recording, false, quiet);
  AppendPeriods(&recording, periods);
  return recording;
}

struct TimedReport {
  bigtime_t time;
  ReceiverReport report;
};

// The reports of the receiver thread on the recording, with their virtual times (the start
// report included); the trace it wrote in `trace` when asked for.
inline std::vector<TimedReport> Replayed(const Mode2Recording& recording,
                                         Evaluation evaluation = Evaluation::kBurst,
                                         std::string* trace = nullptr) {
  std::vector<TimedReport> reports;
  TraceCapture capture;
  ReplayThroughReceiver(
      recording,
      [&](bigtime_t time, const ReceiverReport& report) {
        reports.push_back({time, report});
      },
      evaluation);
  if (trace != nullptr) *trace = capture.Text();
  return reports;
}

inline std::string Listed(const std::vector<int32_t>& periods) {
  std::string text;
  for (const int32_t p : periods) text += " " + std::to_string(p);
  return text;
}

inline std::string Shown(const std::optional<ExactCode>& code) {
  return code ? ExactField(*code) + " (" + std::to_string(code->bits) + " bits)" : "nothing";
}

// Whether `code` is one of the '|'-separated forms of `expected`: "-" for no code, a field, a
// field and its bit count ("RC-6:0x04:0x0C 16"), or the start of a field and '*'.
inline bool Fits(const std::string& expected, const std::optional<ExactCode>& code) {
  std::istringstream forms(expected);
  for (std::string form; std::getline(forms, form, '|');) {
    std::string read = code ? ExactField(*code) : "-";
    if (code && form.find(' ') != std::string::npos) read += " " + std::to_string(code->bits);
    if (form.ends_with('*') ? read.starts_with(form.substr(0, form.size() - 1)) : read == form)
      return true;
  }
  return false;
}

}  // namespace koru
