#pragma once
// Test helpers: a press's periods cut into the bursts the receiver hands to the exact decoder
// (a quiet period of more than 15 ms ends a burst), timing jitter, and bi-phase frames made by
// hand, apart from the writers under test.
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

// Unit levels of bits, each bit `width` units per half: a 1 is a space then a pulse, or the
// other way round when `one_pulse_first`.
inline void AddBits(std::vector<bool>* levels, uint64_t value, int count, bool one_pulse_first,
                    int width = 1) {
  for (int i = count - 1; i >= 0; --i) {
    const bool one = (value >> i & 1) != 0;
    levels->insert(levels->end(), static_cast<size_t>(width), one == one_pulse_first);
    levels->insert(levels->end(), static_cast<size_t>(width), one != one_pulse_first);
  }
}

inline std::vector<int32_t> FromLevels(const std::vector<bool>& levels, int32_t unit,
                                       std::vector<int32_t> periods = {}) {
  for (const bool pulse : levels) {
    if (periods.empty() && !pulse) continue;
    if (!periods.empty() && (periods.size() % 2 == 1) == pulse)
      periods.back() += unit;
    else
      periods.push_back(unit);
  }
  return periods;
}

inline std::vector<int32_t> Rc5(uint32_t toggle) {
  std::vector<bool> levels;
  AddBits(&levels, 0b11u << 12 | toggle << 11 | 0x05u << 6 | 0x0C, 14, false);
  return FromLevels(levels, 889);
}

inline std::vector<int32_t> Rc6(uint32_t mode, uint32_t trailer, uint32_t body, int body_bits) {
  std::vector<bool> levels;
  AddBits(&levels, 0b1000 | mode, 4, true);
  AddBits(&levels, trailer, 1, true, 2);
  AddBits(&levels, body, body_bits, true);
  return FromLevels(levels, 444, {2666, 889});
}

inline std::vector<int32_t> Rcmm32(uint32_t value) {
  static constexpr int32_t kSpaces[] = {278, 444, 611, 778};
  std::vector<int32_t> periods = {417, 278};
  for (int shift = 30; shift >= 0; shift -= 2)
    periods.insert(periods.end(), {167, kSpaces[value >> shift & 3]});
  periods.push_back(167);
  return periods;
}

inline std::vector<int32_t> Xmp(uint32_t toggle) {
  // Sub-device 0x10, OEM 0x44, device 0x3E, function 0x0B00; each half adds up to 0 mod 16.
  std::vector<uint32_t> n = {1, 7, 0, 15, 4, 4, 3, 14, 1, 4, toggle, 0, 0, 11, 0, 0};
  n[9] = (16 - (n[8] + n[10] + n[11] + n[12] + n[13] + n[14] + n[15]) % 16) % 16;
  std::vector<int32_t> periods;
  for (size_t i = 0; i < 16; ++i) {
    periods.insert(periods.end(), {210, 760 + 136 * static_cast<int32_t>(n[i])});
    if (i == 7) periods.insert(periods.end(), {210, 13800});
  }
  periods.push_back(210);
  return periods;
}
