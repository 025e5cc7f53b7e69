#pragma once
// Test helpers: a press's periods cut into the bursts the receiver hands to the exact decoder
// (a quiet period of more than 15 ms ends a burst), and timing jitter.
#include <cstdint>
#include <random>
#include <vector>

struct TimedBurst {
  std::vector<int32_t> periods;
  int64_t end_us = 0;  // when the last pulse ended, counted from the press's start
};

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

// Every period moved by up to `us` either way, uniformly.
inline std::vector<int32_t> Jittered(std::vector<int32_t> periods, int32_t us, std::mt19937* rng) {
  if (us == 0) return periods;
  std::uniform_int_distribution<int32_t> shift(-us, us);
  for (int32_t& period : periods) period = std::max(1, period + shift(*rng));
  return periods;
}
