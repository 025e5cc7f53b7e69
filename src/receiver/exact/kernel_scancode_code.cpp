// The kernel's scancode layouts (its user-space documentation of the remote controller
// protocols), turned into the address and command layouts of exact_code.h.
#include "receiver/exact/kernel_scancode_code.h"

#include <string>

namespace koru {

namespace {

uint32_t Byte(uint64_t value, int shift) {
  return static_cast<uint32_t>(value >> shift & 0xFF);
}

// NEC with its checks: the raw decoder names a frame by the inverses it finds, so a NECx or
// NEC32 scancode whose bytes happen to invert each other is the shorter form.
ExactCode Nec(uint32_t address_low, uint32_t address_high, uint32_t command_low,
              uint32_t command_high) {
  if ((command_low ^ command_high) != 0xFF)
    return {ExactProtocol::kNec32, address_low | address_high << 8, command_low | command_high << 8,
            32};
  if ((address_low ^ address_high) != 0xFF)
    return {ExactProtocol::kNecExtended, address_low | address_high << 8, command_low, 32};
  return {ExactProtocol::kNec, address_low, command_low, 32};
}

// A code of its own for a scancode KORU cannot name: the protocol and scancode mixed (FNV-1a),
// so two keys differ and a key always gives the same code.
ExactCode HashLike(uint32_t protocol, uint64_t scancode) {
  uint32_t hash = 2166136261u;
  const auto mix = [&hash](uint32_t byte) { hash = (hash ^ byte) * 16777619u; };
  mix(protocol);
  for (int shift = 0; shift < 64; shift += 8) mix(Byte(scancode, shift));
  return {ExactProtocol::kHash, 0, hash, 0};
}

}  // namespace

ExactCode ExactFromKernelScancode(uint32_t protocol, uint64_t scancode) {
  switch (protocol) {
    case kRcNec:
      return Nec(Byte(scancode, 8), Byte(scancode, 8) ^ 0xFF, Byte(scancode, 0),
                 Byte(scancode, 0) ^ 0xFF);
    case kRcNecx:
      return Nec(Byte(scancode, 16), Byte(scancode, 8), Byte(scancode, 0),
                 Byte(scancode, 0) ^ 0xFF);
    case kRcNec32:
      return Nec(Byte(scancode, 16), Byte(scancode, 24), Byte(scancode, 0), Byte(scancode, 8));
    case kRcRc5: {
      // Command bit 6 is the inverted second start bit: set, the frame is RC-5X's.
      const uint32_t command = static_cast<uint32_t>(scancode & 0x7F);
      const uint32_t address = static_cast<uint32_t>(scancode >> 8 & 0x1F);
      return {command & 0x40 ? ExactProtocol::kRc5x : ExactProtocol::kRc5, address, command, 14};
    }
    case kRcJvc:
      return {ExactProtocol::kJvc, Byte(scancode, 8), Byte(scancode, 0), 16};
    case kRcSony12:
      return {ExactProtocol::kSony12, Byte(scancode, 16) & 0x1F, Byte(scancode, 0) & 0x7F, 12};
    case kRcSony15:
      return {ExactProtocol::kSony15, Byte(scancode, 16), Byte(scancode, 0) & 0x7F, 15};
    case kRcSony20:
      return {ExactProtocol::kSony20, Byte(scancode, 8) << 8 | (Byte(scancode, 16) & 0x1F),
              Byte(scancode, 0) & 0x7F, 20};
    case kRcSanyo:
      return {ExactProtocol::kSanyo, static_cast<uint32_t>(scancode >> 8 & 0x1FFF),
              Byte(scancode, 0), 42};
    case kRcSharp:
      return {ExactProtocol::kSharp, Byte(scancode, 8) & 0x1F, Byte(scancode, 0), 15};
    case kRcRc6_0:
      return {ExactProtocol::kRc6, Byte(scancode, 8), Byte(scancode, 0), 16};
    case kRcRc6_6a20:
      return {ExactProtocol::kRc6A, static_cast<uint32_t>(scancode >> 8 & 0xFFF), Byte(scancode, 0),
              20};
    case kRcRc6_6a24:
      return {ExactProtocol::kRc6A, static_cast<uint32_t>(scancode >> 8 & 0xFFFF),
              Byte(scancode, 0), 24};
    case kRcRc6_6a32:
    case kRcRc6Mce:
      // Bit 15 is the toggle of 32-bit frames, which no code keeps.
      return {ExactProtocol::kRc6A, static_cast<uint32_t>(scancode >> 8 & 0xFFFF7F),
              Byte(scancode, 0), 32};
    default:
      return HashLike(protocol, scancode);
  }
}

bool KernelProtocolDecoded(uint32_t protocol) {
  return ExactFromKernelScancode(protocol, 0).protocol != ExactProtocol::kHash;
}

std::optional<uint32_t> KernelProtocolOfKeymap(std::string_view protocol, std::string_view variant,
                                               uint64_t scancode) {
  const std::string name = std::string(variant.empty() ? protocol : variant);
  if (name == "nec") return scancode > 0xFFFFFF ? kRcNec32 : scancode > 0xFFFF ? kRcNecx : kRcNec;
  struct Named {
    const char* name;
    uint32_t protocol;
  };
  static constexpr Named kNames[] = {
      {"necx", kRcNecx},
      {"nec32", kRcNec32},
      {"rc5", kRcRc5},
      {"rc-5", kRcRc5},
      {"rc5x_20", kRcRc5x20},
      {"rc5_sz", kRcRc5Sz},
      {"rc-5-sz", kRcRc5Sz},
      {"jvc", kRcJvc},
      {"sony12", kRcSony12},
      {"sony15", kRcSony15},
      {"sony20", kRcSony20},
      {"sanyo", kRcSanyo},
      {"sharp", kRcSharp},
      {"rc6_0", kRcRc6_0},
      {"rc6_6a_20", kRcRc6_6a20},
      {"rc6_6a_24", kRcRc6_6a24},
      {"rc6_6a_32", kRcRc6_6a32},
      {"rc6_mce", kRcRc6Mce},
      {"xmp", kRcXmp},
      {"rcmm12", kRcRcmm12},
      {"rcmm24", kRcRcmm24},
      {"rcmm32", kRcRcmm32},
      {"cec", kRcCec},
      {"imon", kRcImon},
      {"mce_kbd", kRcMcir2Kbd},
      {"xbox_dvd", kRcXboxDvd},
      {"other", kRcOther},
      {"unknown", kRcUnknown},
  };
  for (const Named& named : kNames)
    if (name == named.name) return named.protocol;
  if (name == "sony") return scancode > 0xFFFF && (scancode & 0xFF00) != 0 ? kRcSony20 : kRcSony12;
  return std::nullopt;
}

}  // namespace koru
