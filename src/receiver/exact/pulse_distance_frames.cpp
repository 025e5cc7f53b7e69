// The named pulse-distance protocols. Values are read least significant bit first, as sent.
// Address and command layouts (where the code type leaves a choice):
//   NECx     address = address byte | second byte << 8 (the two do not invert each other)
//   NEC32    address as NECx, command = command byte | second command byte << 8
//   Sony20   address = extension << 8 | 5-bit device
//   Sanyo    13-bit address, 8-bit command (their inverses checked and dropped)
//   Sharp, Denon: 5-bit address, 8-bit command; the two trailing bits tell the protocols and
//            the inverted second frame apart (Sharp 1,0 / 0,1; Denon 0,0 / 1,1)
//   Kaseikyo address = vendor << 16 | 4-bit device << 8 | sub-device, command = function;
//            when the check byte is not the usual one (device byte ^ sub-device ^ function) it
//            stands in the command's second byte, so such keys still differ
#include <algorithm>
#include <array>

#include "receiver/exact/pulse_distance_frames.h"
#include "receiver/exact/pulse_distance_timing.h"

namespace koru {

namespace {

// NEC and Sanyo: 9 ms + 4.5 ms, 560 us marks, 560 / 1690 us spaces, 108 ms frame period.
constexpr PulseTiming kNecTiming{9000, 4500, 560, 560, 560, 1690, false};
constexpr int32_t kNecPeriod = 108000;
constexpr int32_t kNecRepeatSpace = 2250;
// Sony: 2.4 ms + 600 us, 600 / 1200 us marks, 600 us spaces, 45 ms frame period.
constexpr PulseTiming kSonyTiming{2400, 600, 600, 1200, 600, 600, true};
constexpr int32_t kSonyPeriod = 45000;
// JVC: 8.4 ms + 4.2 ms, 525 us marks, 525 / 1575 us spaces; repeats without lead-in.
constexpr PulseTiming kJvcTiming{8400, 4200, 525, 525, 525, 1575, false};
constexpr PulseTiming kJvcRepeatTiming{0, 0, 525, 525, 525, 1575, false};
constexpr int32_t kJvcPeriod = 59080;
// Sharp and Denon: no lead-in, 264 us marks, 792 / 1848 us spaces, 43.6 ms between frames.
constexpr PulseTiming kSharpTiming{0, 0, 264, 264, 792, 1848, false};
constexpr int32_t kSharpGap = 43560;
// Kaseikyo: 3.456 ms + 1.728 ms, 432 us marks, 432 / 1296 us spaces, 74.7 ms after a frame.
constexpr PulseTiming kKaseikyoTiming{3456, 1728, 432, 432, 432, 1296, false};
constexpr int32_t kKaseikyoGap = 74736;

constexpr ExactCode kRepeat{ExactProtocol::kNec, 0, 0, kRepeatFrameBits};

bool LeadIn(BurstPeriods burst, size_t at, const PulseTiming& timing) {
  return at + 2 < burst.size() && NearMark(burst[at], timing.lead_mark) &&
         NearSpace(burst[at + 1], timing.lead_space);
}

// A frame made of a lead-in and one mark only (a repeat frame).
bool LeadOnly(BurstPeriods burst, size_t at, int32_t mark, int32_t space, int32_t final_mark) {
  return at + 2 < burst.size() && NearMark(burst[at], mark) && NearSpace(burst[at + 1], space) &&
         burst[at + 2] <= std::max(final_mark * 2, space / 2) &&
         (at + 3 == burst.size() || burst[at + 3] > kFrameGap);
}

std::optional<ExactCode> ReadNecFamily(BurstPeriods burst, size_t at) {
  // NEC's repeat frame; Sanyo remotes also repeat the bare lead-in.
  if (at == 0 &&
      (LeadOnly(burst, at, kNecTiming.lead_mark, kNecRepeatSpace, kNecTiming.mark0) ||
       LeadOnly(burst, at, kNecTiming.lead_mark, kNecTiming.lead_space, kNecTiming.mark0)))
    return kRepeat;
  if (!LeadIn(burst, at, kNecTiming)) return std::nullopt;
  std::vector<uint8_t> bits;
  if (!ReadFrameBits(burst, at + 2, kNecTiming, &bits)) return std::nullopt;
  if (bits.size() == 32) {
    const uint32_t b0 = static_cast<uint32_t>(BitsValue(bits, 0, 8));
    const uint32_t b1 = static_cast<uint32_t>(BitsValue(bits, 8, 8));
    const uint32_t b2 = static_cast<uint32_t>(BitsValue(bits, 16, 8));
    const uint32_t b3 = static_cast<uint32_t>(BitsValue(bits, 24, 8));
    const bool address_checks = (b0 ^ b1) == 0xFF;
    const bool command_checks = (b2 ^ b3) == 0xFF;
    if (address_checks && command_checks) return ExactCode{ExactProtocol::kNec, b0, b2, 32};
    if (command_checks) return ExactCode{ExactProtocol::kNecExtended, b0 | b1 << 8, b2, 32};
    return ExactCode{ExactProtocol::kNec32, b0 | b1 << 8, b2 | b3 << 8, 32};
  }
  if (bits.size() == 42) {
    const uint32_t address = static_cast<uint32_t>(BitsValue(bits, 0, 13));
    const uint32_t not_address = static_cast<uint32_t>(BitsValue(bits, 13, 13));
    const uint32_t command = static_cast<uint32_t>(BitsValue(bits, 26, 8));
    const uint32_t not_command = static_cast<uint32_t>(BitsValue(bits, 34, 8));
    if ((address ^ not_address) == 0x1FFF && (command ^ not_command) == 0xFF)
      return ExactCode{ExactProtocol::kSanyo, address, command, 42};
  }
  return std::nullopt;
}

std::optional<ExactCode> ReadSony(BurstPeriods burst, size_t at) {
  if (!LeadIn(burst, at, kSonyTiming)) return std::nullopt;
  std::vector<uint8_t> bits;
  if (!ReadFrameBits(burst, at + 2, kSonyTiming, &bits)) return std::nullopt;
  const uint32_t command = static_cast<uint32_t>(BitsValue(bits, 0, 7));
  switch (bits.size()) {
    case 12:
      return ExactCode{ExactProtocol::kSony12, static_cast<uint32_t>(BitsValue(bits, 7, 5)),
                       command, 12};
    case 15:
      return ExactCode{ExactProtocol::kSony15, static_cast<uint32_t>(BitsValue(bits, 7, 8)),
                       command, 15};
    case 20:
      return ExactCode{ExactProtocol::kSony20,
                       static_cast<uint32_t>(BitsValue(bits, 7, 5) | BitsValue(bits, 12, 8) << 8),
                       command, 20};
    default:
      return std::nullopt;
  }
}

std::optional<ExactCode> ReadJvc(BurstPeriods burst, size_t at) {
  const bool lead = LeadIn(burst, at, kJvcTiming);
  std::vector<uint8_t> bits;
  if (!ReadFrameBits(burst, lead ? at + 2 : at, lead ? kJvcTiming : kJvcRepeatTiming, &bits) ||
      bits.size() != 16)
    return std::nullopt;
  return ExactCode{ExactProtocol::kJvc, static_cast<uint32_t>(BitsValue(bits, 0, 8)),
                   static_cast<uint32_t>(BitsValue(bits, 8, 8)), 16};
}

std::optional<ExactCode> ReadSharpOrDenon(BurstPeriods burst, size_t at) {
  std::vector<uint8_t> bits;
  if (!ReadFrameBits(burst, at, kSharpTiming, &bits) || bits.size() != 15) return std::nullopt;
  const uint32_t address = static_cast<uint32_t>(BitsValue(bits, 0, 5));
  uint32_t command = static_cast<uint32_t>(BitsValue(bits, 5, 8));
  const uint32_t tail = static_cast<uint32_t>(BitsValue(bits, 13, 2));
  // tail (first bit in bit 0): Sharp 1 / inverted 2, Denon 0 / inverted 3.
  if (tail == 2 || tail == 3) command ^= 0xFF;
  const bool sharp = tail == 1 || tail == 2;
  return ExactCode{sharp ? ExactProtocol::kSharp : ExactProtocol::kDenon, address, command, 15};
}

uint32_t KaseikyoParity(uint32_t vendor) {
  const uint32_t folded = (vendor ^ vendor >> 8) & 0xFF;
  return (folded ^ folded >> 4) & 0xF;
}

std::optional<ExactCode> ReadKaseikyo(BurstPeriods burst, size_t at) {
  if (at == 0 && LeadOnly(burst, at, kKaseikyoTiming.lead_mark, kKaseikyoTiming.lead_mark,
                          kKaseikyoTiming.mark0))
    return ExactCode{ExactProtocol::kKaseikyo, 0, 0, kRepeatFrameBits};
  if (!LeadIn(burst, at, kKaseikyoTiming)) return std::nullopt;
  std::vector<uint8_t> bits;
  if (!ReadFrameBits(burst, at + 2, kKaseikyoTiming, &bits) || bits.size() != 48)
    return std::nullopt;
  const uint32_t vendor = static_cast<uint32_t>(BitsValue(bits, 0, 16));
  const uint32_t parity = static_cast<uint32_t>(BitsValue(bits, 16, 4));
  if (parity != KaseikyoParity(vendor)) return std::nullopt;
  const uint32_t device_byte = static_cast<uint32_t>(BitsValue(bits, 16, 8));
  const uint32_t sub_device = static_cast<uint32_t>(BitsValue(bits, 24, 8));
  const uint32_t function = static_cast<uint32_t>(BitsValue(bits, 32, 8));
  const uint32_t check = static_cast<uint32_t>(BitsValue(bits, 40, 8));
  const uint32_t usual_check = device_byte ^ sub_device ^ function;
  return ExactCode{ExactProtocol::kKaseikyo, vendor << 16 | (device_byte >> 4) << 8 | sub_device,
                   check == usual_check ? function : function | check << 8, 48};
}

}  // namespace

std::optional<ExactCode> ReadNamedPulseDistanceBurst(BurstPeriods burst) {
  // Each frame of the burst in turn, so one damaged frame does not hide the next.
  for (size_t at = 0; at < burst.size(); ++at) {
    if (at > 0 && (at % 2 != 0 || burst[at - 1] <= kFrameGap)) continue;
    for (auto* reader : {ReadNecFamily, ReadSony, ReadKaseikyo, ReadJvc, ReadSharpOrDenon})
      if (std::optional<ExactCode> code = reader(burst, at)) return code;
  }
  return std::nullopt;
}

std::optional<ExactCode> ReadPulseDistanceBurst(BurstPeriods burst) {
  if (std::optional<ExactCode> code = ReadNamedPulseDistanceBurst(burst)) return code;
  return ReadGenericPulseDistanceBurst(burst);
}

int32_t LongestSpaceOfLongerFrame(BurstPeriods frame) {
  struct Form {
    const PulseTiming& timing;
    size_t longest;  // bits
  };
  // JVC's frame without lead-in has no lead-in to vouch for it: its 16 bits may also begin a
  // longer frame of short pulses (an RCMM frame's pulses read as one), so it waits too.
  const Form forms[] = {{kNecTiming, 42},       {kSonyTiming, 20},     {kJvcTiming, 16},
                        {kJvcRepeatTiming, 17}, {kKaseikyoTiming, 48}, {kSharpTiming, 15}};
  int32_t space = 0;
  std::vector<uint8_t> bits;
  for (const Form& form : forms) {
    const PulseTiming& timing = form.timing;
    const bool lead = timing.lead_mark > 0;
    if ((lead && !LeadIn(frame, 0, timing)) || !ReadFrameBits(frame, lead ? 2 : 0, timing, &bits) ||
        bits.size() >= form.longest)
      continue;
    space = std::max(space,
                     timing.pulse_width ? timing.space0 : std::max(timing.space0, timing.space1));
  }
  return space;
}

bool WriteNecRepeatFrame(std::vector<int32_t>* periods) {
  periods->insert(periods->end(), {kNecTiming.lead_mark, kNecRepeatSpace, kNecTiming.mark0});
  periods->push_back(kNecPeriod - kNecTiming.lead_mark - kNecRepeatSpace - kNecTiming.mark0);
  return true;
}

bool WriteJvcRepeatFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  if (code.protocol != ExactProtocol::kJvc || code.address > 0xFF || code.command > 0xFF)
    return false;
  std::vector<uint8_t> bits;
  AppendBits(code.address, 8, &bits);
  AppendBits(code.command, 8, &bits);
  WriteFrameBits(kJvcRepeatTiming, bits, kJvcPeriod, 0, periods);
  return true;
}

bool WritePulseDistanceFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  const uint32_t a = code.address;
  const uint32_t c = code.command;
  std::vector<uint8_t> bits;
  switch (code.protocol) {
    case ExactProtocol::kNec:
      if (a > 0xFF || c > 0xFF) return false;
      AppendBits(a | (a ^ 0xFF) << 8 | c << 16 | (c ^ 0xFF) << 24, 32, &bits);
      WriteFrameBits(kNecTiming, bits, kNecPeriod, 0, periods);
      return true;
    case ExactProtocol::kNecExtended:
      // An address whose bytes invert each other is plain NEC.
      if (a > 0xFFFF || c > 0xFF || ((a ^ a >> 8) & 0xFF) == 0xFF) return false;
      AppendBits(a | c << 16 | (c ^ 0xFF) << 24, 32, &bits);
      WriteFrameBits(kNecTiming, bits, kNecPeriod, 0, periods);
      return true;
    case ExactProtocol::kNec32:
      // A command whose bytes invert each other is NEC or NECx.
      if (a > 0xFFFF || c > 0xFFFF || ((c ^ c >> 8) & 0xFF) == 0xFF) return false;
      AppendBits(a | c << 16, 32, &bits);
      WriteFrameBits(kNecTiming, bits, kNecPeriod, 0, periods);
      return true;
    case ExactProtocol::kSanyo:
      if (a > 0x1FFF || c > 0xFF) return false;
      AppendBits(a, 13, &bits);
      AppendBits(a ^ 0x1FFF, 13, &bits);
      AppendBits(c, 8, &bits);
      AppendBits(c ^ 0xFF, 8, &bits);
      WriteFrameBits(kNecTiming, bits, kNecPeriod, 0, periods);
      return true;
    case ExactProtocol::kSony12:
    case ExactProtocol::kSony15:
    case ExactProtocol::kSony20: {
      if (c > 0x7F) return false;
      AppendBits(c, 7, &bits);
      if (code.protocol == ExactProtocol::kSony12) {
        if (a > 0x1F) return false;
        AppendBits(a, 5, &bits);
      } else if (code.protocol == ExactProtocol::kSony15) {
        if (a > 0xFF) return false;
        AppendBits(a, 8, &bits);
      } else {
        if ((a & ~0xFF1Fu) != 0) return false;
        AppendBits(a & 0x1F, 5, &bits);
        AppendBits(a >> 8, 8, &bits);
      }
      WriteFrameBits(kSonyTiming, bits, kSonyPeriod, 0, periods);
      return true;
    }
    case ExactProtocol::kJvc:
      if (a > 0xFF || c > 0xFF) return false;
      AppendBits(a | c << 8, 16, &bits);
      WriteFrameBits(kJvcTiming, bits, kJvcPeriod, 0, periods);
      return true;
    case ExactProtocol::kSharp:
    case ExactProtocol::kDenon: {
      // A frame and its inverted twin, as the remote sends them.
      if (a > 0x1F || c > 0xFF) return false;
      const bool sharp = code.protocol == ExactProtocol::kSharp;
      AppendBits(a | c << 5 | (sharp ? 1u : 0u) << 13, 15, &bits);
      WriteFrameBits(kSharpTiming, bits, 0, kSharpGap, periods);
      bits.clear();
      AppendBits(a | (c ^ 0xFF) << 5 | (sharp ? 2u : 3u) << 13, 15, &bits);
      WriteFrameBits(kSharpTiming, bits, 0, kSharpGap, periods);
      return true;
    }
    case ExactProtocol::kKaseikyo: {
      const uint32_t vendor = a >> 16;
      const uint32_t device = a >> 8 & 0xFF;
      const uint32_t sub_device = a & 0xFF;
      if (device > 0xF || c > 0xFFFF) return false;
      const uint32_t device_byte = KaseikyoParity(vendor) | device << 4;
      const uint32_t usual_check = device_byte ^ sub_device ^ (c & 0xFF);
      // A command with the usual check in its second byte would read back without it.
      if (c > 0xFF && (c >> 8) == usual_check) return false;
      AppendBits(vendor | device_byte << 16 | sub_device << 24, 32, &bits);
      AppendBits(c & 0xFF, 8, &bits);
      AppendBits(c > 0xFF ? c >> 8 : usual_check, 8, &bits);
      WriteFrameBits(kKaseikyoTiming, bits, 0, kKaseikyoGap, periods);
      return true;
    }
    case ExactProtocol::kPulseDistance:
      return WriteGenericPulseDistanceFrame(code, periods);
    default:
      return false;
  }
}

}  // namespace koru
