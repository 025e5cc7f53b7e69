// XMP (see biphase_protocols.h). Like RCMM's, a nibble is read from the distance between two
// pulses, which a slow receiver does not shift.
#include <array>
#include <cstdint>
#include <cstdlib>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"

namespace koru {

namespace {

constexpr int32_t kPulse = 210;
constexpr int32_t kNibbleSpace = 760;
constexpr int32_t kStep = 136;
constexpr int32_t kHalfFrameSpace = 13800;
constexpr int32_t kGap = 80400;
// A slow receiver may stretch a pulse by 200 us and more (the distances carry the values).
constexpr int32_t kPulseStretch = 300;
constexpr int32_t kFixedNibble = 15;  // the fourth nibble of the first half

using Nibbles = std::array<uint32_t, 16>;

// Nibble value of a pulse and its space; -1 when the distance fits none (half a step of room:
// the steps are too close for the 200 us tolerance of other periods).
bool PulseFits(int32_t pulse) {
  return pulse > 0 && pulse <= kPulse + kPulseStretch;
}

// `deviation`: how far the distance is from its value's.
int NibbleOf(int32_t pulse, int32_t space, int64_t* deviation) {
  if (!PulseFits(pulse)) return -1;
  const int64_t offset = int64_t{pulse} + space - kPulse - kNibbleSpace;
  const int64_t value = (offset + kStep / 2) / kStep;
  *deviation = offset - value * kStep;
  if (offset < -kStep / 2 || value > 15 || std::abs(*deviation) > kStep / 2) return -1;
  return static_cast<int>(value);
}

// Nibbles with nothing to check them are taken only from distances that keep to one grid (each
// within a quarter step of their mean deviation, which a remote's own timing sets): a jittered
// frame could read as a neighbouring key.
bool OnOneGrid(const std::array<int64_t, 16>& deviations) {
  int64_t sum = 0;
  for (const int64_t d : deviations) sum += d;
  for (const int64_t d : deviations)
    if (std::abs(d * 16 - sum) > kStep / 4 * 16) return false;
  return true;
}

uint32_t CheckNibble(const Nibbles& n, size_t first, size_t check) {
  uint32_t sum = 0;
  for (size_t i = first; i < first + 8; ++i)
    if (i != check) sum += n[i];
  return (16 - sum % 16) % 16;
}

// Both check nibbles fit and the sub-device is sent twice alike.
bool Checked(const Nibbles& n) {
  return CheckNibble(n, 0, 1) == n[1] && CheckNibble(n, 8, 9) == n[9] && n[0] == n[8] &&
         n[2] == n[11];
}

void AppendNibbles(const Nibbles& n, std::vector<int32_t>* periods) {
  for (size_t half = 0; half < 2; ++half) {
    for (size_t k = 0; k < 8; ++k) {
      AppendLevel(periods, true, kPulse);
      AppendLevel(periods, false, kNibbleSpace + static_cast<int32_t>(n[half * 8 + k]) * kStep);
    }
    AppendLevel(periods, true, kPulse);
    AppendLevel(periods, false, half == 0 ? kHalfFrameSpace : kGap);
  }
}

}  // namespace

std::optional<ExactCode> ReadXmpFrame(BurstPeriods burst, size_t start) {
  Nibbles n{};
  std::array<int64_t, 16> deviations{};
  size_t i = start;
  for (size_t half = 0; half < 2; ++half) {
    for (size_t k = 0; k < 8; ++k, i += 2) {
      if (i + 1 >= burst.size()) return std::nullopt;
      const int value = NibbleOf(burst[i], burst[i + 1], &deviations[half * 8 + k]);
      if (value < 0) return std::nullopt;
      n[half * 8 + k] = static_cast<uint32_t>(value);
    }
    if (i >= burst.size() || !PulseFits(burst[i])) return std::nullopt;
    if (half == 0) {
      if (i + 1 >= burst.size() || !NearPeriod(burst[i + 1], kHalfFrameSpace)) return std::nullopt;
      i += 2;
    } else if (i + 1 < burst.size() && burst[i + 1] < kFrameWall) {
      return std::nullopt;  // more follows: not the end of a frame
    }
  }
  ExactCode code;
  code.protocol = ExactProtocol::kXmp;
  code.bits = 64;
  if (!Checked(n)) {
    if (!OnOneGrid(deviations)) return std::nullopt;
    // Nibbles that do not check (configurations written by hand send them): every nibble is
    // part of the code, the first half in the address, the second in the command.
    for (size_t k = 0; k < 8; ++k) {
      code.address = code.address << 4 | n[k];
      code.command = code.command << 4 | n[8 + k];
    }
    return code;
  }
  code.address = n[0] << 20 | n[2] << 16 | n[4] << 12 | n[5] << 8 | n[6] << 4 | n[7];
  code.command = n[12] << 12 | n[13] << 8 | n[14] << 4 | n[15];
  return code;
}

bool WriteXmpFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  if (code.protocol != ExactProtocol::kXmp) return false;
  if (code.address > 0xFFFFFF || code.command > 0xFFFF) {
    Nibbles n{};
    for (size_t k = 0; k < 8; ++k) {
      n[k] = code.address >> (28 - 4 * k) & 15;
      n[8 + k] = code.command >> (28 - 4 * k) & 15;
    }
    if (Checked(n)) return false;  // would read back in the checked layout
    AppendNibbles(n, periods);
    return true;
  }
  const uint32_t a = code.address;
  const uint32_t f = code.command;
  Nibbles n = {a >> 20 & 15, 0,           a >> 16 & 15,   kFixedNibble,
               a >> 12 & 15, a >> 8 & 15, a >> 4 & 15,    a & 15,
               a >> 20 & 15, 0,           0 /* toggle */, a >> 16 & 15,
               f >> 12 & 15, f >> 8 & 15, f >> 4 & 15,    f & 15};
  n[1] = CheckNibble(n, 0, 1);
  n[9] = CheckNibble(n, 8, 9);
  AppendNibbles(n, periods);
  return true;
}

}  // namespace koru
