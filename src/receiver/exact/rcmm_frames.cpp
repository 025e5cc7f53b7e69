// RCMM (see biphase_protocols.h). The two bits of a pulse are read from the distance to the next
// pulse, not from the space alone: a receiver that is slow to switch shifts the edge between
// pulse and space, never the distance between two pulses.
#include <cstdint>
#include <cstdlib>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"

namespace koru {

namespace {

constexpr int32_t kHeaderPulse = 417;
constexpr int32_t kHeaderSpace = 278;
constexpr int32_t kPulse = 167;
constexpr int32_t kSpaces[4] = {278, 444, 611, 778};
// Pulse-to-pulse distances, in sixths of a microsecond to keep the 166.7 us step exact.
constexpr int32_t kFirstDistance6 = 2667;  // 444.4 us
constexpr int32_t kStep6 = 1000;           // 166.7 us
// Half a step: the distances are too close for the 200 us tolerance of other periods.
constexpr int32_t kMargin6 = kStep6 / 2;
// A slow receiver may stretch a pulse by 200 us and more (the distances carry the values).
constexpr int32_t kPulseStretch = 250;
constexpr int32_t kGap = 21000;  // frames of a held key start 27.8 ms apart
constexpr uint32_t kToggle32 = 0x8000;

// The value (0..3) of a pulse and its space; -1 when the distance fits none, 4 when the space is
// too long to be inside a frame.
int PairValue(int32_t pulse, int32_t space) {
  const int64_t distance6 = (int64_t{pulse} + space) * 6;
  if (distance6 > kFirstDistance6 + 3 * kStep6 + 2 * kStep6) return 4;
  const int64_t value = (distance6 - kFirstDistance6 + kStep6 / 2) / kStep6;
  if (distance6 < kFirstDistance6 - kMargin6 || value > 3) return -1;
  if (std::abs(distance6 - (kFirstDistance6 + value * kStep6)) > kMargin6) return -1;
  return static_cast<int>(value);
}

bool PulseFits(int32_t pulse, int32_t nominal) {
  return pulse > 0 && pulse <= nominal + kPulseStretch;
}

bool ToggleInFrame(uint32_t value) {
  return (value & 0xC0000) != 0xC0000;
}

}  // namespace

std::optional<ExactCode> ReadRcmmFrame(BurstPeriods burst, size_t start) {
  if (start + 2 >= burst.size()) return std::nullopt;
  if (!PulseFits(burst[start], kHeaderPulse) ||
      !NearPeriod(int64_t{burst[start]} + burst[start + 1], kHeaderPulse + kHeaderSpace))
    return std::nullopt;
  uint32_t value = 0;
  int bits = 0;
  size_t i = start + 2;
  for (;; i += 2) {
    if (i >= burst.size() || !PulseFits(burst[i], kPulse)) return std::nullopt;
    if (i + 1 >= burst.size()) break;  // the final pulse ends the burst
    const int pair = PairValue(burst[i], burst[i + 1]);
    if (pair == 4) break;  // the final pulse
    if (pair < 0 || bits == 32) return std::nullopt;
    value = value << 2 | static_cast<uint32_t>(pair);
    bits += 2;
  }
  ExactCode code;
  code.protocol = ExactProtocol::kRcmm;
  code.bits = bits;
  switch (bits) {
    case 12:
      code.address = value >> 8;
      code.command = value & 0xFF;
      break;
    case 24:
      code.address = value >> 12;
      code.command = value & 0xFFF;
      break;
    case 32:
      if (ToggleInFrame(value)) value &= ~kToggle32;
      code.address = value >> 16;
      code.command = value & 0xFFFF;
      break;
    default:
      return std::nullopt;
  }
  return code;
}

bool WriteRcmmFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  if (code.protocol != ExactProtocol::kRcmm) return false;
  int bits = code.bits;
  if (bits == 0)
    bits = code.address <= 0xF && code.command <= 0xFF      ? 12
           : code.address <= 0xFFF && code.command <= 0xFFF ? 24
                                                            : 32;
  uint32_t value = 0;
  switch (bits) {
    case 12:
      if (code.address > 0xF || code.command > 0xFF) return false;
      value = code.address << 8 | code.command;
      break;
    case 24:
      if (code.address > 0xFFF || code.command > 0xFFF) return false;
      value = code.address << 12 | code.command;
      break;
    case 32:
      if (code.address > 0xFFFF || code.command > 0xFFFF) return false;
      value = code.address << 16 | code.command;
      if (ToggleInFrame(value) && (value & kToggle32) != 0) return false;
      break;
    default:
      return false;
  }
  AppendLevel(periods, true, kHeaderPulse);
  AppendLevel(periods, false, kHeaderSpace);
  for (int shift = bits - 2; shift >= 0; shift -= 2) {
    AppendLevel(periods, true, kPulse);
    AppendLevel(periods, false, kSpaces[value >> shift & 3]);
  }
  AppendLevel(periods, true, kPulse);
  AppendLevel(periods, false, kGap);
  return true;
}

}  // namespace koru
