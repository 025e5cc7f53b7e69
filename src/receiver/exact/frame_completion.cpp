#include "receiver/exact/frame_completion.h"

#include <algorithm>
#include <iterator>
#include <span>
#include <vector>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"
#include "receiver/exact/pulse_distance_frames.h"
#include "receiver/exact/pulse_distance_timing.h"

namespace koru {

namespace {

// How much longer than nominal the next space of a longer frame may be heard: the jitter a
// receiver adds (the round trips test ±200 us).
constexpr int32_t kJitter = 200;
// What a longer bi-phase form would send next, nominally: RC-5's half-bit (two when the last
// bit ends with a space), RC-6A's two units (a bit of the other value), RCMM's longest
// pulse-to-pulse distance.
constexpr int32_t kRc5HalfBit = 889;
constexpr int32_t kRc6Unit = 444;
constexpr int32_t kRc6Leader = 2666;
constexpr int32_t kRcmmLongestDistance = 945;
// RCMM's bits of value 0: a 167 us pulse after a 278 us space.
constexpr int32_t kRcmmPulse = 167;
constexpr int32_t kRcmmZeroSpace = 278;
constexpr int kRcmmMostPairs = 16;

// Samsung: a 4.5 ms + 4.5 ms lead-in, 32 bits, a final mark; a 48-bit form goes on with a bit
// space of up to 1.69 ms.
constexpr int32_t kSamsungLead = 4500;
constexpr size_t kSamsungPeriods = 2 + 2 * 32 + 1;
constexpr int32_t kSamsungLongSpace = 1690;

// Frames of the named protocols hold between these numbers of periods (RCMM's 12 bits, and
// Kaseikyo's 48 bits after their lead-in).
constexpr size_t kFewestPeriods = 15;
constexpr size_t kMostPeriods = 99;

// The units of `unit` us that the periods from `first` on span, each counted as the nearest
// whole number (at least one).
int32_t Units(BurstPeriods frame, size_t first, int32_t unit) {
  int32_t units = 0;
  for (size_t i = first; i < frame.size(); ++i) units += std::max(1, (frame[i] + unit / 2) / unit);
  return units;
}

// The half-bits an RC-5 frame heard so far spans, the unseen space of its first start bit
// included: odd when its last bit ends with a space still to come.
int32_t Rc5HalfBits(BurstPeriods frame) {
  return 1 + Units(frame, 0, kRc5HalfBit);
}

// The longest space (nominal) a longer form of a bi-phase protocol would send next; 0 when the
// code's form is the protocol's longest.
int32_t LongerBiphaseForm(const ExactCode& code, BurstPeriods frame) {
  switch (code.protocol) {
    case ExactProtocol::kRc5:  // the 15-bit form
      if (code.bits == 15) return 0;
      return Rc5HalfBits(frame) % 2 == 0 ? kRc5HalfBit : 2 * kRc5HalfBit;
    case ExactProtocol::kRc6A:
      return code.bits == 32 ? 0 : 2 * kRc6Unit;
    case ExactProtocol::kRcmm:
      return code.bits == 32 ? 0 : kRcmmLongestDistance;
    default:  // RC-5X, RC-6, XMP: one length only
      return 0;
  }
}

// An RCMM frame could begin so (its header, then pulses and distances of its values): with
// bits of value 0 added, it reads as a longer one. (A frame of 16 pairs of value 3 holds a whole
// JVC frame without its lead-in.)
bool CouldBeLongerRcmm(BurstPeriods frame) {
  std::vector<int32_t> padded(frame.begin(), frame.end());
  for (int pairs = 0; pairs < kRcmmMostPairs; ++pairs) {
    padded.insert(padded.end(), {kRcmmZeroSpace, kRcmmPulse});
    if (ReadRcmmFrame(padded, 0)) return true;
  }
  return false;
}

// Whether `value` is within one of a whole frame's `wholes`.
template <size_t N>
bool NearWhole(int32_t value, const int32_t (&wholes)[N]) {
  return std::any_of(std::begin(wholes), std::end(wholes),
                     [value](int32_t whole) { return value >= whole - 1 && value <= whole; });
}

// The readers are asked only when the frame heard so far is as long as a whole frame of their
// protocols: they are too much work to run after every pulse.
// - RC-5 and RC-6 (counted in units, the last half-bit may be a space still to come): RC-5's 14
//   and 15 bits span 28 and 30 half-bits, RC-6's 16, 20, 24 and 32 bits after its leader 44,
//   52, 60 and 76 units;
// - in periods, lead-in and final mark included: RCMM's 12, 24 and 32 bits, XMP's two halves;
// - pulse-distance frames by their periods and first mark: Sony's 12, 15 and 20 bits, JVC's
//   16, NEC's 32 (and Samsung's) and Sanyo's 42, Kaseikyo's 48 after their lead-ins; without
//   one (a first mark up to about 1 ms, as the readers take it) JVC's 16, Sharp's and Denon's 15.
constexpr int32_t kRc5HalfBitsWhole[] = {28, 30};
constexpr int32_t kRc6UnitsWhole[] = {44, 52, 60, 76};
constexpr size_t kRcmmPeriodsWhole[] = {15, 27, 35};
constexpr size_t kXmpPeriodsWhole = 35;  // two halves of eight nibbles and a final pulse
struct PulseDistanceWhole {
  size_t periods;
  int32_t lead_mark;  // 0: none
};
constexpr PulseDistanceWhole kPulseDistanceWhole[] = {
    {25, 2400}, {31, 2400}, {41, 2400}, {35, 8400}, {67, 9000},
    {67, 4500}, {87, 9000}, {99, 3456}, {33, 0},    {31, 0}};
constexpr int32_t kLongestFirstBitMark = 1100;

bool PulseDistanceSized(BurstPeriods frame) {
  return std::any_of(std::begin(kPulseDistanceWhole), std::end(kPulseDistanceWhole),
                     [frame](const PulseDistanceWhole& whole) {
                       return frame.size() == whole.periods &&
                              (whole.lead_mark > 0 ? NearMark(frame[0], whole.lead_mark)
                                                   : frame[0] < kLongestFirstBitMark);
                     });
}

bool OneOf(size_t value, std::span<const size_t> values) {
  return std::find(values.begin(), values.end(), value) != values.end();
}

// ReadNamedBiphaseBurst for a frame without a gap.
std::optional<ExactCode> ReadNamedBiphaseFrame(BurstPeriods frame) {
  // (RC-5 begins with a pulse of one or two half-bits, RC-6 with its leader.)
  if (frame[0] < 3 * kRc5HalfBit && NearWhole(Rc5HalfBits(frame), kRc5HalfBitsWhole))
    if (std::optional<ExactCode> code = ReadRc5Frame(frame, 0)) return code;
  if (NearPeriod(frame[0], kRc6Leader) && NearWhole(Units(frame, 2, kRc6Unit), kRc6UnitsWhole))
    if (std::optional<ExactCode> code = ReadRc6Frame(frame, 0)) return code;
  if (OneOf(frame.size(), kRcmmPeriodsWhole)) return ReadRcmmFrame(frame, 0);
  return std::nullopt;
}

bool HasFrameGap(BurstPeriods frame) {
  for (size_t i = 1; i < frame.size(); i += 2)
    if (frame[i] > kFrameGap) return true;
  return false;
}

bool Named(ExactProtocol protocol) {
  return protocol != ExactProtocol::kPulseDistance && protocol != ExactProtocol::kBiphase &&
         protocol != ExactProtocol::kHash;
}

bool SamsungShape(BurstPeriods frame) {
  return frame.size() == kSamsungPeriods && NearMark(frame[0], kSamsungLead) &&
         NearSpace(frame[1], kSamsungLead);
}

// The quiet after a space of up to `longest` (nominal) us; 0 when no longer frame can follow.
int32_t QuietAfter(int32_t longest) {
  return longest > 0 ? longest + kJitter : 0;
}

}  // namespace

std::optional<int32_t> QuietToCompleteFrame(BurstPeriods frame) {
  if (frame.size() % 2 == 0 || frame.size() < kFewestPeriods || frame.size() > kMostPeriods)
    return std::nullopt;
  // Only XMP holds a frame gap: between its two halves.
  if (frame.size() == kXmpPeriodsWhole && HasFrameGap(frame))
    return ReadXmpFrame(frame, 0) ? std::optional<int32_t>(0) : std::nullopt;
  // As the exact decoder reads them: a named bi-phase frame before a pulse-distance one.
  int32_t longest = 0;  // the longest space a longer frame could go on with
  if (const std::optional<ExactCode> biphase = ReadNamedBiphaseFrame(frame)) {
    longest = LongerBiphaseForm(*biphase, frame);
  } else {
    if (!PulseDistanceSized(frame)) return std::nullopt;
    const std::optional<ExactCode> code = ReadNamedPulseDistanceBurst(frame);
    if (!code) {
      if (!SamsungShape(frame)) return std::nullopt;
      const std::optional<ExactCode> generic = ReadGenericPulseDistanceBurst(frame);
      if (!generic || generic->bits != 32) return std::nullopt;
      longest = kSamsungLongSpace;
    } else if (code->bits <= 0 || !Named(code->protocol)) {
      return std::nullopt;
    }
  }
  // A frame read before a gap ended there: what follows it is for the burst end to read.
  if (HasFrameGap(frame)) return std::nullopt;
  // A whole frame of one protocol may be the start of a longer frame of another.
  longest = std::max(longest, LongestSpaceOfLongerFrame(frame));
  if (frame[0] < kLongestFirstBitMark && CouldBeLongerRcmm(frame))  // (its header pulse is short)
    longest = std::max(longest, kRcmmLongestDistance);
  return QuietAfter(longest);
}

}  // namespace koru
