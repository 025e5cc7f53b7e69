#pragma once
// An exact infrared code: the protocol a frame was sent in, its address (device) and command,
// and its bit count. Unlike a classic code text it keeps every bit of the frame that tells keys
// apart (toggle bits and checks excluded), so every key of a remote has a code of its own.
//
// Written forms:
//   field     "RC-5:0x1E:0x0C", "hash:1A2B3C4D", "hash2:0x1A2B3C4D:0x5E6F7A8B"
//             (koru-decode's exact=, the exact remote files)
//   readable  "RC-5 addr 0x1E cmd 0x0C", "hash 1A2B3C4D", "hash2 5E6F7A8B" (charts, the code
//             table, the teach-in)
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace koru {

enum class ExactProtocol {
  kNec,            // 8-bit address and command, each followed by its inverse
  kNecExtended,    // 16-bit address, command followed by its inverse
  kNec32,          // 16-bit address, 16-bit command without inverse
  kRc5,            // 5-bit address, 6-bit command (toggle bit excluded)
  kRc5x,           // RC-5 with the field bit as command bit 6
  kRc6,            // mode 0: 8-bit address, 8-bit command
  kRc6A,           // mode 6A: customer and system in the address, command
  kSony12,         // 7-bit command, 5-bit device
  kSony15,         // 7-bit command, 8-bit device
  kSony20,         // 7-bit command, 5-bit device + 8-bit extension in the address
  kJvc,            // 8-bit address, 8-bit command
  kSharp,          // 5-bit address, 8-bit command
  kDenon,          // 5-bit address, 8-bit command
  kSanyo,          // 13-bit address, 8-bit command
  kKaseikyo,       // 48 bits: vendor and device in the address, function in the command
  kRcmm,           // 12/24/32-bit frames: mode and address in the address
  kXmp,            // nibble frames: sub-device, OEM and device in the address
  kPulseDistance,  // any other pulse-distance (or pulse-width) frame
  kBiphase,        // any other bi-phase frame
  kHash,           // earlier versions' hash of the order of lengths (still matched, no more made)
  kTimingHash,     // anything else: a hash of the frame's lengths (order and ratios) in the
                   // command, the earlier hash of the same frame in the address
  kSerial,         // a short 1200-baud serial frame: bit count in the address, bits in the command
};

struct ExactCode {
  ExactProtocol protocol = ExactProtocol::kHash;
  uint32_t address = 0;
  uint32_t command = 0;
  int32_t bits = 0;  // bits in the frame (0 for a hash)

  // Two codes are the same key when protocol, address and command agree.
  bool SameKey(const ExactCode& other) const {
    return protocol == other.protocol && address == other.address && command == other.command;
  }
};

// "NEC", "NECx", "NEC32", "RC-5", "RC-5X", "RC-6", "RC-6A", "Sony12", "Sony15", "Sony20",
// "JVC", "Sharp", "Denon", "Sanyo", "Kaseikyo", "RCMM", "XMP", "PDist", "Biphase", "hash",
// "hash2", "Serial".
const char* ExactProtocolName(ExactProtocol protocol);
// The protocol with this name (case is ignored); nothing for an unknown name.
std::optional<ExactProtocol> ExactProtocolNamed(std::string_view name);

// Hexadecimal with "0x", upper case, at least two digits: 0x0C, 0x1E, 0x1234.
std::string ExactHex(uint32_t value);

// "RC-5:0x1E:0x0C"; "hash:1A2B3C4D" (eight digits, no "0x").
std::string ExactField(const ExactCode& code);
// The code of a field text (hexadecimal with or without "0x", any case); nothing when the text
// is not one. The bit count of the result is 0.
std::optional<ExactCode> ParseExactField(std::string_view text);

// "RC-5 addr 0x1E cmd 0x0C"; "hash 1A2B3C4D".
std::string ExactReadable(const ExactCode& code);

}  // namespace koru
