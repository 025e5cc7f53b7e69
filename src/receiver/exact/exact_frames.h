#pragma once
// The protocol readers and writers behind the exact decoder, by family. A burst is the level
// periods of one key press as the receiver saw them: microseconds, starting with a pulse, pulses
// and spaces alternating, without the quiet period after the last pulse. A burst may hold more
// than one frame (separated by long spaces); a reader returns the code of the first complete
// frame it recognises and nothing when no frame of its protocols is there. Tolerance: each
// period within 25 % or 200 us of its nominal value, whichever is wider.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "receiver/exact/exact_code.h"

namespace koru {

using BurstPeriods = std::span<const int32_t>;

// NEC (all three forms), Sony 12/15/20, JVC, Sharp, Denon, Sanyo, Kaseikyo and any other
// pulse-distance or pulse-width frame (PDist). A repeat frame gives a code whose bit count is
// kRepeatFrameBits (pulse_distance_frames.h); ExactDecoder turns it into the last code.
std::optional<ExactCode> ReadPulseDistanceBurst(BurstPeriods burst);
// RC-5, RC-5X, RC-6 (mode 0), RC-6A, RCMM, XMP and any other bi-phase frame (Biphase).
std::optional<ExactCode> ReadBiphaseBurst(BurstPeriods burst);
// The same without the generic reader: for a burst a named pulse-distance reader has read.
std::optional<ExactCode> ReadNamedBiphaseBurst(BurstPeriods burst);
// The fallback for everything else: a hash of the first frame's pattern of relative durations,
// the same for the same key under jitter, different for different keys (kTimingHash, with the
// earlier versions' hash of the same frame in the address).
ExactCode HashBurst(BurstPeriods burst);
// A short serial frame (1200 baud, a mark 0 bits, a space 1 bits), the whole burst: Serial,
// address the number of bits, command the bits, the first sent most significant.
std::optional<ExactCode> ReadSerialBurst(BurstPeriods burst);

// One frame of `code` (with the protocol's own lead-in and final pulse), appended to `periods`,
// followed by the protocol's gap as a final space; false for protocols or values the family
// cannot send (hash codes are never sendable).
bool WritePulseDistanceFrame(const ExactCode& code, std::vector<int32_t>* periods);
bool WriteBiphaseFrame(const ExactCode& code, std::vector<int32_t>* periods);
bool WriteSerialFrame(const ExactCode& code, std::vector<int32_t>* periods);

}  // namespace koru
