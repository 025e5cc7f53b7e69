#pragma once
// Timings and bit reading/writing shared by the pulse-distance readers and writers. A frame is
// an optional lead-in (mark, space), then bits: in pulse-distance frames every bit is a mark of
// one length followed by a short or long space and the frame ends with a final mark; in
// pulse-width frames the mark is short or long and the spaces all alike, with no final mark.
#include <cstdint>
#include <vector>

#include "receiver/exact/exact_frames.h"

namespace koru {

struct PulseTiming {
  int32_t lead_mark = 0;  // 0: no lead-in
  int32_t lead_space = 0;
  int32_t mark0 = 0;  // mark of a 0 bit (pulse-width) or of every bit
  int32_t mark1 = 0;
  int32_t space0 = 0;  // space after a 0 bit (pulse-distance) or after every bit
  int32_t space1 = 0;
  bool pulse_width = false;
};

// A space longer than this separates frames of one burst.
inline constexpr int32_t kFrameGap = 5600;

// `measured` is within 25 % or 250 us of `nominal`, whichever is wider, and up to 300 us the
// way receivers move it (marks longer, spaces shorter).
bool NearMark(int32_t measured, int32_t nominal);
bool NearSpace(int32_t measured, int32_t nominal);

// The bits of one frame starting at burst[start] (after the lead-in), in the order sent, up to
// the end of the frame (a long space or the end of the burst). A bit's mark or space is read
// against the midpoint of the two lengths, and mark and space together against the bit's
// length. False when a period fits neither bit nor frame end.
bool ReadFrameBits(BurstPeriods burst, size_t start, const PulseTiming& timing,
                   std::vector<uint8_t>* bits);

// The value of bits[first .. first+count), least significant bit first.
uint64_t BitsValue(const std::vector<uint8_t>& bits, size_t first, size_t count);

// Appends the lead-in (if any), `count` bits of `value` least significant first, the final
// mark of a pulse-distance frame, and a space that completes the frame to `period` us (or is
// `gap` us long when `period` is 0).
void WriteFrameBits(const PulseTiming& timing, const std::vector<uint8_t>& bits, int32_t period,
                    int32_t gap, std::vector<int32_t>* periods);

// `count` bits of `value`, least significant first, appended to `bits`.
void AppendBits(uint64_t value, int count, std::vector<uint8_t>* bits);

}  // namespace koru
