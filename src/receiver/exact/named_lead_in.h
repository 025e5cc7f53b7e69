#pragma once
// Frames that say by their opening which named protocol sent them. When such a frame does not
// read as that protocol (jitter moved a period too far), it is a damaged frame of it: no generic
// reader and no hash may give it a code, which could be a key of another remote.
#include <cstdint>

#include "receiver/exact/exact_frames.h"

namespace koru {

// The lead-in and bit count of NEC, Sanyo, Sony, JVC or Kaseikyo.
bool NamedPulseDistanceShape(int32_t lead_mark, int32_t lead_space, int32_t bits);

// The burst's first frame opens as NEC, Sanyo, Sony, JVC or Kaseikyo (lead-in and bit count),
// RC-6 (its leader), RC-MM (its header, then short pulses) or XMP (eight nibbles and the space
// between the halves).
bool OpensAsNamedProtocol(BurstPeriods burst);

}  // namespace koru
