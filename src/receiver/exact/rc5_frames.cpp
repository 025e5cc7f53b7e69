// RC-5, RC-5X and the 15-bit RC-5 form (see biphase_protocols.h).
#include <cstdint>
#include <utility>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"

namespace koru {

namespace {

constexpr int32_t kHalfBit = 889;
constexpr int32_t kGap = 88900;  // the frames of a held key start 113.8 ms apart
constexpr uint32_t kLongFormFlag = 0x80;

// The bit of two half-bits: a 1 is a space then a pulse; -1 for two of one level.
int BitOf(bool first_pulse, bool second_pulse) {
  if (first_pulse == second_pulse) return -1;
  return second_pulse ? 1 : 0;
}

// The code of a frame's half-bit levels; nothing when they are not an RC-5 frame.
std::optional<ExactCode> DecodeLevels(std::vector<bool> levels) {
  if (levels.size() % 2 == 1) levels.push_back(false);  // a final space runs into the gap
  const size_t count = levels.size() / 2;
  if (count != 14 && count != 15) return std::nullopt;
  uint32_t value = 0;
  for (size_t i = 0; i < levels.size(); i += 2) {
    const int bit = BitOf(levels[i], levels[i + 1]);
    if (bit < 0) return std::nullopt;
    value = value << 1 | static_cast<uint32_t>(bit);
  }
  ExactCode code;
  code.bits = static_cast<int32_t>(count);
  code.command = value & 0x3F;
  if (count == 14) {
    code.address = value >> 6 & 0x1F;
    const bool field = (value >> 12 & 1) != 0;
    code.protocol = field ? ExactProtocol::kRc5 : ExactProtocol::kRc5x;
    if (!field) code.command |= 0x40;
  } else {
    if ((value >> 13 & 1) == 0) return std::nullopt;  // the second start bit
    code.protocol = ExactProtocol::kRc5;
    code.address = kLongFormFlag | (value >> 6 & 0x3F);
  }
  return code;
}

}  // namespace

std::optional<ExactCode> ReadRc5Frame(BurstPeriods burst, size_t start) {
  // Each period within the tolerance of its count of half-bits first; then, with a clock fitted
  // to the frame (near RC-5's own), each taken as its nearest count: the counts are 1 and 2 only
  // (jitter of 200 us on a remote whose pulses are longer than its spaces).
  const std::vector<UnitClock> clocks = CandidateClocks(burst, start, kHalfBit, 2);
  for (const int32_t slack : {0, kHalfBit / 2})
    for (size_t c = slack == 0 ? 0 : 1; c < clocks.size(); ++c) {
      std::vector<bool> levels = {false};  // the first start bit's space is never seen
      if (!ExpandUnits(burst, start, clocks[c], 2, &levels, slack)) continue;
      if (std::optional<ExactCode> code = DecodeLevels(std::move(levels))) return code;
    }
  return std::nullopt;
}

bool WriteRc5Frame(const ExactCode& code, std::vector<int32_t>* periods) {
  uint32_t value = 0;
  int count = 14;
  if (code.protocol == ExactProtocol::kRc5x) {
    if (code.address > 0x1F || code.command > 0x7F) return false;
    const uint32_t field = (code.command & 0x40) != 0 ? 0 : 1;
    value = 1u << 13 | field << 12 | code.address << 6 | (code.command & 0x3F);
  } else if (code.protocol == ExactProtocol::kRc5) {
    if (code.command > 0x3F) return false;
    if (code.address <= 0x1F) {
      value = 1u << 13 | 1u << 12 | code.address << 6 | code.command;
    } else if ((code.address & ~0x3Fu) == kLongFormFlag) {
      count = 15;
      value = 1u << 14 | 1u << 13 | (code.address & 0x3F) << 6 | code.command;
    } else {
      return false;
    }
  } else {
    return false;
  }
  std::vector<bool> levels;
  for (int i = count - 1; i >= 0; --i) {
    const bool one = (value >> i & 1) != 0;
    levels.push_back(!one);
    levels.push_back(one);
  }
  AppendUnits(levels, kHalfBit, periods);
  AppendLevel(periods, false, kGap);
  return true;
}

}  // namespace koru
