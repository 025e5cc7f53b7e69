#include "receiver/exact/frame_completion.h"

#include <algorithm>
#include <vector>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/pulse_distance_frames.h"
#include "receiver/exact/pulse_distance_timing.h"

namespace {

// How much longer than nominal the next space of a longer frame may be heard: the jitter a
// receiver adds (the round trips test ±200 us).
constexpr int32_t kJitter = 200;
// What a longer bi-phase form would send next, nominally: RC-5's half-bit (two when the last
// bit ends with a space), RC-6A's two units (a bit of the other value), RCMM's longest
// pulse-to-pulse distance.
constexpr int32_t kRc5HalfBit = 889;
constexpr int32_t kRc6Unit = 444;
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

// The half-bits an RC-5 frame heard so far spans, the unseen space of its first start bit
// included: odd when its last bit ends with a space still to come.
int32_t Rc5HalfBits(BurstPeriods frame) {
  int32_t half_bits = 1;
  for (const int32_t period : frame)
    half_bits += std::max(1, (period + kRc5HalfBit / 2) / kRc5HalfBit);
  return half_bits;
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
  for (size_t i = 1; i < frame.size(); i += 2) {
    if (frame[i] <= kFrameGap) continue;
    if (ReadXmpFrame(frame, 0)) return 0;
    return std::nullopt;
  }
  // As the exact decoder reads them: a named bi-phase frame before a pulse-distance one.
  int32_t longest = 0;  // the longest space a longer frame could go on with
  if (const std::optional<ExactCode> biphase = ReadNamedBiphaseBurst(frame)) {
    longest = LongerBiphaseForm(*biphase, frame);
  } else {
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
  // A whole frame of one protocol may be the start of a longer frame of another.
  longest = std::max(longest, LongestSpaceOfLongerFrame(frame));
  if (CouldBeLongerRcmm(frame)) longest = std::max(longest, kRcmmLongestDistance);
  return QuietAfter(longest);
}
