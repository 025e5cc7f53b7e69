// RC-6 mode 0 and RC-6A (see biphase_protocols.h).
#include <cstdint>
#include <utility>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"

namespace koru {

namespace {

constexpr int32_t kUnit = 444;
constexpr int32_t kLeaderPulse = 2666;
constexpr int32_t kLeaderSpace = 889;
constexpr int32_t kGap = 84000;    // the frames of a held key start 106.7 ms apart
constexpr size_t kBodyStart = 12;  // units: start bit, three mode bits, the double trailer bit
constexpr uint32_t kToggle32 = 0x8000;

// The bit of two units: a 1 is a pulse then a space; -1 for two of one level.
int BitAt(const std::vector<bool>& levels, size_t i) {
  if (levels[i] == levels[i + 1]) return -1;
  return levels[i] ? 1 : 0;
}

// The body width of a code: 16 for mode 0, 20/24/32 for RC-6A (its bit count when given,
// otherwise the narrowest form its address fits, 32 for a long customer code); 0 when none.
int BodyBits(const ExactCode& code) {
  if (code.command > 0xFF) return 0;
  if (code.protocol == ExactProtocol::kRc6) return code.address <= 0xFF ? 16 : 0;
  if (code.protocol != ExactProtocol::kRc6A) return 0;
  int bits = code.bits;
  if (bits == 0) bits = (code.address & 0x800000) != 0 ? 32 : code.address > 0xFFF ? 24 : 20;
  if (bits != 20 && bits != 24 && bits != 32) return 0;
  if (code.address >> (bits - 8) != 0) return 0;
  if (bits == 32 && (code.address << 8 & kToggle32) != 0) return 0;
  return bits;
}

// The code of a frame's unit levels after the leader; nothing when they are not an RC-6 frame.
std::optional<ExactCode> DecodeLevels(std::vector<bool> levels) {
  if (levels.size() % 2 == 1) levels.push_back(false);  // a final space runs into the gap
  if (levels.size() < kBodyStart + 2 || BitAt(levels, 0) != 1) return std::nullopt;
  uint32_t mode = 0;
  for (size_t i = 2; i < 8; i += 2) {
    const int bit = BitAt(levels, i);
    if (bit < 0) return std::nullopt;
    mode = mode << 1 | static_cast<uint32_t>(bit);
  }
  // The trailer bit: two units of one level, then two of the other.
  if (levels[8] != levels[9] || levels[10] != levels[11] || levels[8] == levels[10])
    return std::nullopt;
  const size_t body_bits = (levels.size() - kBodyStart) / 2;
  if (body_bits > 32) return std::nullopt;
  uint32_t body = 0;
  for (size_t i = kBodyStart; i < levels.size(); i += 2) {
    const int bit = BitAt(levels, i);
    if (bit < 0) return std::nullopt;
    body = body << 1 | static_cast<uint32_t>(bit);
  }
  ExactCode code;
  code.bits = static_cast<int32_t>(body_bits);
  if (mode == 0 && body_bits == 16) {
    code.protocol = ExactProtocol::kRc6;
  } else if (mode == 6 && (body_bits == 20 || body_bits == 24 || body_bits == 32)) {
    code.protocol = ExactProtocol::kRc6A;
    if (body_bits == 32) body &= ~kToggle32;
  } else {
    return std::nullopt;
  }
  code.address = body >> 8;
  code.command = body & 0xFF;
  return code;
}

}  // namespace

std::optional<ExactCode> ReadRc6Frame(BurstPeriods burst, size_t start) {
  if (start + 2 >= burst.size()) return std::nullopt;
  // The leader's space is checked with its pulse: a slow receiver moves the edge between them.
  if (!NearPeriod(burst[start], kLeaderPulse) ||
      !NearPeriod(int64_t{burst[start]} + burst[start + 1], kLeaderPulse + kLeaderSpace) ||
      burst[start + 1] < kUnit)
    return std::nullopt;
  for (const UnitClock& clock : CandidateClocks(burst, start + 2, kUnit, 3)) {
    std::vector<bool> levels;
    // The 200 us tolerance leaves gaps between one, two and three units of 444 us: nearest count.
    if (!ExpandUnits(burst, start + 2, clock, 3, &levels, kUnit / 2)) continue;
    if (std::optional<ExactCode> code = DecodeLevels(std::move(levels))) return code;
  }
  return std::nullopt;
}

bool WriteRc6Frame(const ExactCode& code, std::vector<int32_t>* periods) {
  const int body_bits = BodyBits(code);
  if (body_bits == 0) return false;
  const uint32_t mode = code.protocol == ExactProtocol::kRc6 ? 0 : 6;
  const uint32_t body = code.address << 8 | code.command;
  std::vector<bool> levels;
  auto add_bit = [&levels](bool one) {
    levels.push_back(one);
    levels.push_back(!one);
  };
  add_bit(true);  // start bit
  for (int i = 2; i >= 0; --i) add_bit((mode >> i & 1) != 0);
  levels.insert(levels.end(), {false, false, true, true});  // trailer bit 0
  for (int i = body_bits - 1; i >= 0; --i) add_bit((body >> i & 1) != 0);
  AppendLevel(periods, true, kLeaderPulse);
  AppendLevel(periods, false, kLeaderSpace);
  AppendUnits(levels, kUnit, periods);
  AppendLevel(periods, false, kGap);
  return true;
}

}  // namespace koru
