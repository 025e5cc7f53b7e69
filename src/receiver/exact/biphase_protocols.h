#pragma once
// The readers and writers of the bi-phase family, one protocol per source file. A reader looks
// at the frame that begins at `start` (a pulse) and gives its code, or nothing when the frame is
// not one of its protocol; a writer appends one frame and the protocol's gap (see
// exact_frames.h), or gives false for codes its protocol cannot carry.
#include <cstddef>
#include <optional>
#include <vector>

#include "receiver/exact/exact_frames.h"

namespace koru {

// RC-5: 889 us half-bits, a 1 is a space then a pulse; the space of the first start bit is not
// seen. 14 bits: start bit, field bit, toggle, 5-bit address, 6-bit command. A field bit of 0
// makes the frame RC-5X, whose command is 0x40 plus the six command bits. The 15-bit form
// (a 6-bit system after the toggle) is RC-5 with the address 0x80 | system, as the configurations
// of such remotes write it (second start bit in bit 7, the toggle's place clear). The toggle is
// never part of the code.
std::optional<ExactCode> ReadRc5Frame(BurstPeriods burst, size_t start);
bool WriteRc5Frame(const ExactCode& code, std::vector<int32_t>* periods);

// RC-6: a 2666/889 us leader, 444 us half-bits, a 1 is a pulse then a space; start bit, three
// mode bits, a trailer bit of double length (the toggle, never part of the code), then the body.
// Mode 0 has a 16-bit body: address and command bytes. Mode 6 (RC-6A) has a 20-, 24- or 32-bit
// body: the command is its last byte, the address all before it (customer code with its
// long-customer flag, and system); in 32-bit bodies bit 0x8000 is a toggle and is cleared.
std::optional<ExactCode> ReadRc6Frame(BurstPeriods burst, size_t start);
bool WriteRc6Frame(const ExactCode& code, std::vector<int32_t>* periods);

// RCMM: a 417/278 us header, then two bits per pulse, told by the distance to the next pulse
// (444, 611, 778 or 945 us), and a final pulse; 12, 24 or 32 bits. The address holds the bits
// before the command: 12-bit frames mode and address (4 bits) and an 8-bit command, 24-bit frames
// 12 and 12 bits, 32-bit frames 16 and 16 bits, bit 0x8000 (a toggle unless bits 19 and 18 are
// both set) cleared.
std::optional<ExactCode> ReadRcmmFrame(BurstPeriods burst, size_t start);
bool WriteRcmmFrame(const ExactCode& code, std::vector<int32_t>* periods);

// XMP: two halves of eight nibbles, each nibble a 210 us pulse and a space of 760 + 136 us per
// unit, the halves 13.8 ms apart; each half's nibbles add up to a multiple of 16 (a check
// nibble). Address: sub-device << 16 | OEM << 8 | device; command: the 16-bit function. The
// toggle nibble (0 on a key's first frame, 8 on its repeats) is not part of the code. A frame
// whose check nibbles or sub-device nibbles disagree keeps every nibble: address the first
// half, command the second (so its address is above 0xFFFFFF or its command above 0xFFFF); with
// no check, its nibble distances must keep to one grid (a quarter step), else it is no frame.
std::optional<ExactCode> ReadXmpFrame(BurstPeriods burst, size_t start);
bool WriteXmpFrame(const ExactCode& code, std::vector<int32_t>* periods);

// Any other Manchester frame: see manchester_frames.cpp.
std::optional<ExactCode> ReadManchesterFrame(BurstPeriods burst, size_t start);
bool WriteManchesterFrame(const ExactCode& code, std::vector<int32_t>* periods);

}  // namespace koru
