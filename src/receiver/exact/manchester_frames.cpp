// Any other Manchester (bi-phase) frame, as the code kBiphase:
//   - the frame runs from its first pulse to a space longer than kFrameWall (or the burst's end);
//     a first pulse longer than all its other periods is a header and skipped (and the space
//     after it when the frame only reads so);
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
#include <utility>

#include "receiver/exact/biphase_protocols.h"
#include "receiver/exact/biphase_timing.h"

namespace koru {

namespace {

constexpr int kMinBits = 8;
constexpr int32_t kMinUnit = 100;
constexpr int32_t kSendUnit = 600;
constexpr int32_t kGap = 20000;

// The units that take every period as one or two units (each split of the sorted periods into
// short and long ones gives one), best first (least squares).
std::vector<int32_t> FitUnits(std::vector<int32_t> periods) {
  std::sort(periods.begin(), periods.end());
  int64_t total = 0;
  for (const int32_t p : periods) total += p;
  std::vector<std::pair<double, int32_t>> fits;  // squared error, unit
  for (size_t split = 0; split <= periods.size(); ++split) {
    // The units that round every short period to one unit and every long one to two; of
    // those, the one nearest the least-squares fit.
    double low = 0;
    double high = 1e9;
    if (split > 0) {
      low = std::max(low, periods[split - 1] / 1.5);
      high = std::min(high, 2.0 * periods[0]);
    }
    if (split < periods.size()) {
      low = std::max(low, periods.back() / 2.5);
      high = std::min(high, periods[split] / 1.5);
    }
    const int64_t units =
        static_cast<int64_t>(split) + 2 * static_cast<int64_t>(periods.size() - split);
    if (low + 1 > high) continue;
    const double fitted = std::clamp(static_cast<double>(total) / units, low + 1, high);
    if (fitted < kMinUnit) continue;
    double error = 0;
    for (size_t i = 0; i < periods.size(); ++i) {
      const double d = periods[i] - (i < split ? 1 : 2) * fitted;
      error += d * d;
    }
    fits.emplace_back(error, static_cast<int32_t>(fitted));
  }
  std::sort(fits.begin(), fits.end());
  std::vector<int32_t> units;
  for (const auto& fit : fits) units.push_back(fit.second);
  return units;
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

// The frame between `body` and `end` read with `unit`.
std::optional<ExactCode> ReadWithUnit(BurstPeriods burst, size_t body, size_t end, int32_t unit) {
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

// The frame between `body` and `end` with the best fitting unit that makes it a Manchester
// frame (under jitter the best fit may count a period wrong, and the frame then breaks).
std::optional<ExactCode> ReadBody(BurstPeriods burst, size_t body, size_t end) {
  if (end <= body) return std::nullopt;
  const std::vector<int32_t> periods(burst.begin() + static_cast<ptrdiff_t>(body),
                                     burst.begin() + static_cast<ptrdiff_t>(end));
  for (const int32_t unit : FitUnits(periods))
    if (std::optional<ExactCode> code = ReadWithUnit(burst, body, end, unit)) return code;
  return std::nullopt;
}

}  // namespace

std::optional<ExactCode> ReadManchesterFrame(BurstPeriods burst, size_t start) {
  size_t end = start;
  while (end < burst.size() && !(end % 2 == 1 && burst[end] > kFrameWall)) ++end;
  if (end - start < static_cast<size_t>(kMinBits) || ANamedReaderReads(burst, start) ||
      NearPeriod(burst[start], kRc6LeaderPulse))
    return std::nullopt;
  if (std::optional<ExactCode> code = ReadBody(burst, start, end)) return code;
  // A first pulse longer than every other period of the frame is a header (with the space
  // after it when that is as long).
  const int32_t longest = *std::max_element(burst.begin() + static_cast<ptrdiff_t>(start) + 2,
                                            burst.begin() + static_cast<ptrdiff_t>(end));
  if (burst[start] <= longest) return std::nullopt;
  for (size_t header = 1; header <= 2; ++header)
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

}  // namespace koru
