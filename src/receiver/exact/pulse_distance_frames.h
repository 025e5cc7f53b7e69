#pragma once
// The pulse-distance family beyond the common interface: its named and generic readers apart
// (the exact decoder tries the bi-phase protocols between them), and the repeat frames a held
// key sends.
#include <cstdint>
#include <optional>
#include <vector>

#include "receiver/exact/exact_frames.h"

namespace koru {

// The bit count of the code ReadPulseDistanceBurst returns for a repeat frame (NEC's 9 ms,
// 2.25 ms and a mark; Kaseikyo's lead-in and a mark): it carries no code of its own, the
// decoder repeats the last one.
inline constexpr int32_t kRepeatFrameBits = -1;

// NEC (all forms), Sony, JVC, Sharp, Denon, Sanyo, Kaseikyo and the repeat frames.
std::optional<ExactCode> ReadNamedPulseDistanceBurst(BurstPeriods burst);
// The longest space (nominal) the next bit of a longer frame of a named protocol may begin
// with, when `frame` (from a frame's first pulse up to a pulse) could be the start of one; 0
// when it cannot. (A NEC frame's first 16 bits are a whole JVC frame, a JVC frame without its
// lead-in holds a whole Sharp frame.)
int32_t LongestSpaceOfLongerFrame(BurstPeriods frame);
// Any other pulse-distance or pulse-width frame (PDist).
std::optional<ExactCode> ReadGenericPulseDistanceBurst(BurstPeriods burst);
bool WriteGenericPulseDistanceFrame(const ExactCode& code, std::vector<int32_t>* periods);

// A held NEC or Sanyo key's repeat frame, and JVC's repeat (the frame without its lead-in).
bool WriteNecRepeatFrame(std::vector<int32_t>* periods);
bool WriteJvcRepeatFrame(const ExactCode& code, std::vector<int32_t>* periods);

}  // namespace koru
