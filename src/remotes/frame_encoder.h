#pragma once
// Infrared frames for a key of a remote: the timings each receiver decoder family reads back as
// the remote's header and the key's code. Used by koru-encode and by the tests.
//
// The receiver reads a code as bytes: byte0 * 1000 + byte1 is the header, byte2 (one-byte
// remotes) or byte2 * 1000 + byte3 (two-byte remotes) the key's code. Which bytes a family can
// produce, and so which codes it can send:
//
//   family (header)   frame                                             byte2 / byte3
//   long codes        9 ms + 4.5 ms lead-in, 32 bits of 560 us marks,   any / any (header
//   (byte0 >= 128)    560 us ('1') or 1690 us ('0') spaces, stop mark    byte0 >= 128)
//   Denon (222078)    15 bits of 264 us marks, 792 / 1848 us spaces;    any / odd
//                     every other frame has bits 6..15 inverted
//   12-bit (210078)   12 bits of 600 / 1200 us marks, 600 us spaces    64..95, 192..223 /
//                                                                     32 d + 28
//   9-bit (9011)      18 bits of 500 us marks, 500 / 1500 us spaces;    any / bit 6 set
//                     the 10th space is a 4.5 ms separator
//   16-bit (71108)    16 bits of 500 us marks, 500 / 1500 us spaces     any / odd
//   6-bit (7107)      6 bits and a check bit, 500 us marks,             multiple of 4 / 0
//                     500 / 1500 us spaces
//   Burns (158158)    11 bits of 158 us marks, 5060 / 7590 us spaces    0..63 / 32 c + 7
//
// The Saba and H9X families have no encoder (no built-in remote uses them).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

enum class IrFamily { kLong, kDenon, k12Bit, k9Bit, k16Bit, k6Bit, kBurns, kSaba, kH9X, kNone };

IrFamily FamilyOfHeader(int32_t header);
const char* FamilyName(IrFamily family);

struct KeyPress {
  // Level periods in microseconds, starting with a pulse; pulses and spaces alternate. The
  // last entry is the space after the last frame.
  std::vector<int32_t> periods;
  int32_t frames = 0;
};

// The frames of one key press of a remote with this header and command-byte mode sending
// `code` (the value a key slot holds). A press sends as many frames as the receiver needs to
// evaluate the burst, `extra_frames` more when the key is held. kBadValue with `why` set when
// the family cannot send the code.
status_t EncodeKeyPress(int32_t header, int32_t mode, int32_t code, int32_t extra_frames,
                        KeyPress* press, std::string* why);

// The frames a short press of this family sends (0 for families without an encoder).
int32_t MinimumFrames(IrFamily family);

// "pulse N" / "space N" lines.
std::string Mode2Text(const std::vector<int32_t>& periods);

// The command numbering of the built-in remotes, per family (see builtin_remotes.cpp).
int32_t DenonCode(int32_t address, int32_t command);

}  // namespace koru
