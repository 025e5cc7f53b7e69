// Any other Manchester (bi-phase) frame, as the code kBiphase:
//   - the frame runs from its first pulse to a space longer than kFrameWall (or the burst's end);
//     a first pulse, or first pulse and space, too long to be a half-bit is a header and skipped;
//   - the half-bit unit is fitted to the frame's periods, each taken as one or two units; a
//     frame needs both a double pulse and a double space (pulses or spaces of one length make a
//     pulse-distance or pulse-width frame, not a Manchester one);
//   - bits are read with a 1 as a space then a pulse; when the first half-bit may be the second
//     half of a bit (its first half unseen, as in RC-5), that reading is taken;
//   - address = the number of bits (at least 8), command = the last (up to) 32 bits, MSB first;
//   - a frame that the RC-5, RC-6, RCMM or XMP reader reads is theirs, never this reader's, and
//     so is a frame with an RC-6 leader, or of at most 16 bits with RC-5's half-bit, that they
//     do not read: such a frame is one of theirs, damaged, and gets no code rather than another.
// Toggle bits of such frames are not known and stay in the command. Frames are sent with a
// 600 us half-bit and must begin with a 1.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"

namespace {

constexpr int kMinBits = 8;
constexpr int32_t kMinUnit = 100;
constexpr int32_t kSendUnit = 600;
constexpr int32_t kGap = 20000;

// The unit that best takes every period as one or two units (least squares over every split
// of the sorted periods into short and long); 0 when no unit does.
int32_t FitUnit(std::vector<int32_t> periods) {
  std::sort(periods.begin(), periods.end());
  int64_t total = 0;
  for (const int32_t p : periods) total += p;
  int32_t best_unit = 0;
  double best_error = 0;
  int64_t short_sum = 0;
  for (size_t split = 0; split <= periods.size(); ++split) {
    if (split > 0) short_sum += periods[split - 1];
    const int64_t units =
        static_cast<int64_t>(split) + 2 * static_cast<int64_t>(periods.size() - split);
    const int32_t unit = static_cast<int32_t>((total + units / 2) / units);
    if (unit < kMinUnit) continue;
    double error = 0;
    bool fits = true;
    for (size_t i = 0; i < periods.size() && fits; ++i) {
      const int want = i < split ? 1 : 2;
      fits = UnitsOf(periods[i], true, NominalClock(unit), 2, unit / 2) == want;
      const double d = periods[i] - want * unit;
      error += d * d;
    }
    if (fits && (best_unit == 0 || error < best_error)) {
      best_unit = unit;
      best_error = error;
    }
  }
  return best_unit;
}

// Bits of unit levels read in pairs, a 1 as a space then a pulse; nothing when a pair holds
// two of one level.
std::optional<std::vector<bool>> PairBits(std::vector<bool> levels) {
  if (levels.size() % 2 == 1) levels.push_back(!levels.back());
  std::vector<bool> bits;
  for (size_t i = 0; i < levels.size(); i += 2) {
    if (levels[i] == levels[i + 1]) return std::nullopt;
    bits.push_back(levels[i + 1]);
  }
  return bits;
}

bool ANamedReaderReads(BurstPeriods burst, size_t start) {
  return ReadRc5Frame(burst, start) || ReadRc6Frame(burst, start) || ReadRcmmFrame(burst, start) ||
         ReadXmpFrame(burst, start);
}

constexpr int32_t kRc5HalfBit = 889;
constexpr int32_t kRc6LeaderPulse = 2666;

std::optional<ExactCode> ReadBody(BurstPeriods burst, size_t body, size_t end) {
  if (end <= body) return std::nullopt;
  const std::vector<int32_t> periods(burst.begin() + static_cast<ptrdiff_t>(body),
                                     burst.begin() + static_cast<ptrdiff_t>(end));
  const int32_t unit = FitUnit(periods);
  if (unit == 0) return std::nullopt;
  std::vector<bool> levels;
  bool double_pulse = false;
  bool double_space = false;
  for (size_t i = body; i < end; ++i) {
    const bool pulse = i % 2 == 0;
    const int units = UnitsOf(burst[i], pulse, NominalClock(unit), 2, unit / 2);
    if (units == 2) (pulse ? double_pulse : double_space) = true;
    levels.insert(levels.end(), static_cast<size_t>(units), pulse);
  }
  if (!double_pulse || !double_space) return std::nullopt;
  std::vector<bool> unseen_first = {!levels.front()};
  unseen_first.insert(unseen_first.end(), levels.begin(), levels.end());
  std::optional<std::vector<bool>> bits = PairBits(unseen_first);
  if (!bits) bits = PairBits(levels);
  if (!bits || bits->size() < kMinBits) return std::nullopt;
  if (std::abs(unit - kRc5HalfBit) * 100 < kRc5HalfBit * 15 && bits->size() <= 16)
    return std::nullopt;
  ExactCode code;
  code.protocol = ExactProtocol::kBiphase;
  code.bits = static_cast<int32_t>(bits->size());
  code.address = static_cast<uint32_t>(bits->size());
  for (size_t i = bits->size() > 32 ? bits->size() - 32 : 0; i < bits->size(); ++i)
    code.command = code.command << 1 | ((*bits)[i] ? 1u : 0u);
  return code;
}

}  // namespace

std::optional<ExactCode> ReadManchesterFrame(BurstPeriods burst, size_t start) {
  size_t end = start;
  while (end < burst.size() && !(end % 2 == 1 && burst[end] > kFrameWall)) ++end;
  if (end - start < static_cast<size_t>(kMinBits) || ANamedReaderReads(burst, start) ||
      NearPeriod(burst[start], kRc6LeaderPulse))
    return std::nullopt;
  for (size_t header = 0; header <= 2; ++header)
    if (std::optional<ExactCode> code = ReadBody(burst, start + header, end)) return code;
  return std::nullopt;
}

bool WriteManchesterFrame(const ExactCode& code, std::vector<int32_t>* periods) {
  const uint32_t count = code.address;
  if (code.protocol != ExactProtocol::kBiphase || count < static_cast<uint32_t>(kMinBits) ||
      count > 32)
    return false;
  if (count < 32 && code.command >> count != 0) return false;
  if ((code.command >> (count - 1) & 1) == 0) return false;  // the first bit starts the frame
  std::vector<bool> levels;
  for (int i = static_cast<int>(count) - 1; i >= 0; --i) {
    const bool one = (code.command >> i & 1) != 0;
    levels.push_back(!one);
    levels.push_back(one);
  }
  std::vector<int32_t> frame;
  AppendUnits(levels, kSendUnit, &frame);
  AppendLevel(&frame, false, kGap);
  // Only frames that read back as this code can be sent: some bit patterns lack a double
  // pulse or space, or look like another protocol.
  const std::optional<ExactCode> back = ReadManchesterFrame(frame, 0);
  if (!back || !back->SameKey(code)) return false;
  for (size_t i = 0; i < frame.size(); ++i) AppendLevel(periods, i % 2 == 0, frame[i]);
  return true;
}
