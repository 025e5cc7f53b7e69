// Frames of no named protocol with one mark length and two space lengths (pulse-distance) or
// two mark lengths and one space length (pulse-width), with or without a lead-in. The code:
// address = number of bits; command = the last (up to) 32 bits, the first of them the most
// significant. Frames longer than 32 bits fold their earlier bits into the address above the
// bit count (bits 8..31), so their keys still differ.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "receiver/exact/duration_classes.h"
#include "receiver/exact/named_lead_in.h"
#include "receiver/exact/pulse_distance_frames.h"
#include "receiver/exact/pulse_distance_timing.h"

namespace koru {

namespace {

constexpr int32_t kMinBits = 6;

int32_t ClassCount(const std::vector<int32_t>& values) {
  const std::vector<int32_t> classes = DurationClasses(values);
  return classes.empty() ? 0 : *std::max_element(classes.begin(), classes.end()) + 1;
}

// A serial frame read as pulse-width: no lead-in, the shortest mark and space of one unit, every
// period a whole multiple of it (1 to 16 units, within a third of a unit), some mark of 3 units
// or more (pulse-width codes have marks of 1 and 2). Its keys differ in the lengths of their
// runs, which a pulse-width reading folds (3, 4 and 5 units read alike): the hash tells them
// apart.
bool SerialFrame(const std::vector<int32_t>& marks, const std::vector<int32_t>& spaces) {
  if (marks.empty() || spaces.empty()) return false;
  const int32_t mark = *std::min_element(marks.begin(), marks.end());
  const int32_t space = *std::min_element(spaces.begin(), spaces.end());
  if (std::abs(int64_t{mark} - space) * 4 > std::max(mark, space)) return false;
  // The unit: the mean of the periods near the shortest.
  const int32_t shortest = std::min(mark, space);
  int64_t sum = 0;
  int32_t count = 0;
  for (const auto* kind : {&marks, &spaces})
    for (const int32_t p : *kind)
      if (int64_t{p} * 2 < int64_t{shortest} * 3) {
        sum += p;
        ++count;
      }
  const double unit = static_cast<double>(sum) / count;
  bool long_mark = false;
  for (const auto* kind : {&marks, &spaces})
    for (const int32_t p : *kind) {
      const double units = std::round(p / unit);
      if (units > 16 || std::abs(p - units * unit) * 3 > unit) return false;
      long_mark = long_mark || (kind == &marks && units >= 3);
    }
  return long_mark;
}

// Writer timing: a lead-in longer than any named protocol's, 500 us units.
constexpr PulseTiming kGenericTiming{13000, 3000, 500, 500, 500, 1500, false};
constexpr int32_t kGenericGap = 30000;

}  // namespace

std::optional<ExactCode> ReadGenericPulseDistanceBurst(BurstPeriods burst) {
  const size_t end = FirstFrameEnd(burst);
  // A lead-in is a first mark clearly longer than every other mark.
  int32_t longest_mark = 0;
  for (size_t i = 2; i < end; i += 2) longest_mark = std::max(longest_mark, burst[i]);
  const bool lead = end > 2 && burst[0] > int64_t{longest_mark} + std::max(420, longest_mark / 4);
  const size_t first = lead ? 2 : 0;
  std::vector<int32_t> marks;
  std::vector<int32_t> spaces;
  for (size_t i = first; i < end; ++i) ((i - first) % 2 == 0 ? marks : spaces).push_back(burst[i]);
  if (marks.empty()) return std::nullopt;
  const int32_t mark_classes = ClassCount(marks);
  const int32_t space_classes = ClassCount(spaces);
  std::vector<int32_t> levels;
  if (mark_classes == 1 && space_classes == 2)
    levels = DurationClasses(spaces);  // pulse-distance: the final mark carries no bit
  else if (mark_classes == 2 && space_classes <= 1 && (lead || !SerialFrame(marks, spaces)))
    levels = DurationClasses(marks);  // pulse-width
  else
    return std::nullopt;
  const auto bits = static_cast<int32_t>(levels.size());
  if (bits < kMinBits || (lead && NamedPulseDistanceShape(burst[0], burst[1], bits)))
    return std::nullopt;

  uint32_t command = 0;
  uint32_t fold = 0;
  for (int32_t n = 0; n < bits; ++n) {
    if (n < bits - 32)
      fold = (fold << 1 | fold >> 23 | static_cast<uint32_t>(levels[n])) & 0xFFFFFF;
    command = command << 1 | static_cast<uint32_t>(levels[n]);
  }
  // (Frames of more than 255 bits keep 255 in the count's byte.)
  return ExactCode{ExactProtocol::kPulseDistance,
                   static_cast<uint32_t>(std::min(bits, 255)) | fold << 8, command, bits};
}

bool WriteGenericPulseDistanceFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  const uint32_t bits = code.address;
  if (bits < kMinBits || bits > 32) return false;
  const uint32_t all = bits == 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
  // All-equal bits have one space length, which reads as no pulse-distance frame.
  if (code.command > all || code.command == 0 || code.command == all) return false;
  std::vector<uint8_t> sent;
  for (uint32_t n = bits; n-- > 0;) sent.push_back(static_cast<uint8_t>(code.command >> n & 1));
  WriteFrameBits(kGenericTiming, sent, 0, kGenericGap, periods);
  return true;
}

}  // namespace koru
