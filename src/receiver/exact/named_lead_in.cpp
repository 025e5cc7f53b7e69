#include "receiver/exact/named_lead_in.h"

#include <algorithm>
#include <array>

#include "receiver/exact/biphase_timing.h"
#include "receiver/exact/duration_classes.h"
#include "receiver/exact/pulse_distance_timing.h"

namespace koru {

namespace {

struct NamedShape {
  int32_t lead_mark;
  int32_t lead_space;
  std::array<int32_t, 3> bit_counts;
  bool pulse_width;  // a bit a mark; else a bit a space, and a final mark
};
constexpr std::array<NamedShape, 4> kNamedShapes = {{
    {9000, 4500, {32, 42, 0}, false},  // NEC, Sanyo
    {2400, 600, {12, 15, 20}, true},   // Sony
    {8400, 4200, {16, 0, 0}, false},   // JVC
    {3456, 1728, {48, 0, 0}, false},   // Kaseikyo
}};

bool ShapeFits(const NamedShape& shape, int32_t lead_mark, int32_t lead_space, int32_t bits) {
  return NearMark(lead_mark, shape.lead_mark) && NearSpace(lead_space, shape.lead_space) &&
         std::find(shape.bit_counts.begin(), shape.bit_counts.end(), bits) !=
             shape.bit_counts.end();
}

// Pulses of RC-MM and XMP: 167 and 210 us, which receivers stretch by up to 250 us.
constexpr int32_t kShortPulse = 500;

bool OpensAsPulseDistance(BurstPeriods burst) {
  const size_t end = FirstFrameEnd(burst);
  if (end < 4) return false;
  // The marks after the lead-in; a pulse-distance frame's final mark carries no bit (a frame
  // that lacks it, as some configurations send, is not one of these protocols').
  const auto marks = static_cast<int32_t>((end - 1) / 2);
  for (const NamedShape& shape : kNamedShapes)
    if (ShapeFits(shape, burst[0], burst[1], shape.pulse_width ? marks : marks - 1)) return true;
  return false;
}

bool OpensAsRc6(BurstPeriods burst) {
  return burst.size() > 2 && NearPeriod(burst[0], 2666) && NearPeriod(burst[1], 889);
}

bool OpensAsRcmm(BurstPeriods burst) {
  constexpr size_t kPulsesSeen = 6;
  if (burst.size() < 2 * kPulsesSeen + 2 || burst[0] > 417 + 250 ||
      !NearPeriod(int64_t{burst[0]} + burst[1], 417 + 278))
    return false;
  for (size_t i = 2; i < 2 + 2 * kPulsesSeen; i += 2)
    if (burst[i] > kShortPulse || int64_t{burst[i]} + burst[i + 1] > 945 + 400) return false;
  return true;
}

bool OpensAsXmp(BurstPeriods burst) {
  constexpr size_t kHalf = 16;  // eight nibbles, a pulse and a space each
  if (burst.size() < kHalf + 2) return false;
  for (size_t i = 0; i < kHalf; i += 2)
    if (burst[i] > kShortPulse || int64_t{burst[i]} + burst[i + 1] > 970 + 15 * 136 + 400)
      return false;
  return burst[kHalf] <= kShortPulse && NearPeriod(burst[kHalf + 1], 13800);
}

}  // namespace

bool NamedPulseDistanceShape(int32_t lead_mark, int32_t lead_space, int32_t bits) {
  for (const NamedShape& shape : kNamedShapes)
    if (ShapeFits(shape, lead_mark, lead_space, bits)) return true;
  return false;
}

bool OpensAsNamedProtocol(BurstPeriods burst) {
  return OpensAsPulseDistance(burst) || OpensAsRc6(burst) || OpensAsRcmm(burst) ||
         OpensAsXmp(burst);
}

}  // namespace koru
