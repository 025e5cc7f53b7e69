// Short serial frames: a 1200-baud line sent as light, a unit of mark a 0 bit and a unit of
// space a 1 bit, the line's idle ones before and after the frame lost in the quiet. The exact
// decoder asks only for bursts too short for any other reader (fewer than six periods): there a
// burst is taken for such a frame only when every period is a whole number of units (a quarter
// unit either way) and the frame fits 32 units, so that receiver glitches (marks far shorter
// than a unit) and the repeat frames of pulse-distance protocols (560 us marks) stay noise.
#include <cmath>
#include <cstdint>

#include "receiver/exact/exact_frames.h"

namespace koru {

namespace {

constexpr double kUnit = 1e6 / 1200;      // one bit at 1200 baud, 833.3 us
constexpr double kTolerance = kUnit / 4;  // jitter of 200 us keeps every count
constexpr int32_t kMostUnits = 32;        // the bits fit the command
constexpr size_t kLeastPeriods = 3;       // a mark, a space, a mark
constexpr int32_t kGap = 30000;           // the quiet after a written frame

}  // namespace

std::optional<ExactCode> ReadSerialBurst(BurstPeriods burst) {
  if (burst.size() < kLeastPeriods || burst.size() % 2 == 0) return std::nullopt;
  uint32_t bits = 0;
  int32_t count = 0;
  for (size_t i = 0; i < burst.size(); ++i) {
    const double units = std::round(burst[i] / kUnit);
    if (units < 1 || std::abs(burst[i] - units * kUnit) > kTolerance || count + units > kMostUnits)
      return std::nullopt;
    for (int32_t n = 0; n < static_cast<int32_t>(units); ++n) bits = bits << 1 | (i % 2);
    count += static_cast<int32_t>(units);
  }
  return ExactCode{ExactProtocol::kSerial, static_cast<uint32_t>(count), bits, count};
}

bool WriteSerialFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  const uint32_t count = code.address;
  // A frame opens and closes with a mark (a 0 bit): the line's ones around it are quiet.
  if (code.protocol != ExactProtocol::kSerial || count < kLeastPeriods || count > kMostUnits ||
      (count < 32 && code.command >> count != 0) || (code.command >> (count - 1) & 1) != 0 ||
      (code.command & 1) != 0)
    return false;
  std::vector<int32_t> frame;
  int32_t run = 0;
  for (uint32_t n = 0; n < count; ++n) {
    const uint32_t bit = code.command >> (count - 1 - n) & 1;
    ++run;
    if (n + 1 == count || (code.command >> (count - 2 - n) & 1) != bit) {
      frame.push_back(static_cast<int32_t>(std::lround(run * kUnit)));
      run = 0;
    }
  }
  frame.push_back(kGap);
  periods->insert(periods->end(), frame.begin(), frame.end());
  return true;
}

}  // namespace koru
