#include "receiver/burst_evaluation.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/messaging/trace.h"
#include "receiver/exact/exact_frames.h"
#include "receiver/exact/frame_completion.h"
#include "receiver/exact/pulse_distance_frames.h"
#include "receiver/pulse_analysis.h"

namespace koru {

namespace {

constexpr int32_t kHeaderPeriod = 4000;  // a longer period is a header, not a bit
constexpr int32_t kTableFull = kDurationTableSize - 1;
// The classic thread's own timing, which the replayed burst goes through.
constexpr bigtime_t kClassicStartSleep = 10000;
constexpr bigtime_t kClassicReportSleep = 10000;
constexpr bigtime_t kClassicPulse = 250000;

// The burst without its short segments (repeat codes, noise): split at walls, a segment of
// fewer than kMinFrame periods is dropped together with the wall before it.
std::vector<int32_t> WithoutShortSegments(const int32_t* periods, int32_t count) {
  std::vector<int32_t> kept;
  int32_t wall = 0;  // the wall before the segment being read; 0 before the first
  int32_t begin = 0;
  for (int32_t i = 0; i <= count; ++i) {
    if (i < count && periods[i] <= BurstEvaluation::kWall) continue;
    if (i - begin >= BurstEvaluation::kMinFrame) {
      if (!kept.empty()) kept.push_back(wall);
      kept.insert(kept.end(), periods + begin, periods + i);
    }
    if (i < count) wall = periods[i];
    begin = i + 1;
  }
  return kept;
}

// The text after the first '*' of a code, `length` characters, or empty when shorter.
std::string BitsAfterStar(const std::string& code, size_t length) {
  const size_t star = code.find('*');
  if (star == std::string::npos || code.size() - star - 1 < length) return {};
  return code.substr(star + 1, length);
}

}  // namespace

BurstEvaluation::BurstEvaluation(bool trace) : trace_(trace) {}

void BurstEvaluation::Start() {
  Clear();
  n_ = 0;
  walls_ = 0;
  resumed_ = false;
  space_from_resume_ = false;
  std::strcpy(code_, "-------- -------- ");
  family_ = 0;
  valid_bits_ = 0;
  exact_code_.reset();
  long_frame_ = false;
  exact_.Reset();
  last_exact_.reset();
  reported_ = false;
  held_ = false;
  last_burst_.clear();
}

void BurstEvaluation::Clear() {
  std::memset(table_, 0, sizeof table_);
  frame_quiet_ = -1;
}

bool BurstEvaluation::ReadyToEnd() const {
  return LeadSeen() && (n_ - 1 >= kMinFrame || RepeatFrameInTable() || SerialFrameInTable());
}

bool BurstEvaluation::SerialFrameInTable() const {
  return LeadSeen() && n_ - 1 < kMinFrame &&
         ReadSerialBurst(BurstPeriods(table_ + 1, static_cast<size_t>(n_ - 1))).has_value();
}

bool BurstEvaluation::RepeatFrameInTable() const {
  constexpr int32_t kRepeatFramePeriods = 3;  // lead-in pulse and space, one pulse
  if (!LeadSeen() || n_ - 1 != kRepeatFramePeriods) return false;
  const std::optional<ExactCode> code =
      ReadNamedPulseDistanceBurst(BurstPeriods(table_ + 1, kRepeatFramePeriods));
  return code && code->bits == kRepeatFrameBits;
}

bool BurstEvaluation::RepeatLastReport(bigtime_t now) {
  constexpr int32_t kMarkTolerance = 200;
  if (!held_ || last_lead_mark_ == 0 || now < last_time_ || now - last_time_ > kHeldRepeat)
    return false;
  // The repeat frame of the protocol last reported (NEC's and Kaseikyo's lead-ins differ).
  const int32_t deviation = std::abs(table_[1] - last_lead_mark_);
  if (deviation > kMarkTolerance && deviation * 4 > last_lead_mark_) return false;
  if (trace_) Trace(" repeat frame: the held key again\n");
  const std::string code = last_code_;
  const std::optional<ExactCode> exact = last_exact_;
  Decoded(now, code.c_str(), last_family_, last_bits_, exact);
  return true;
}

void BurstEvaluation::DropUnreported(int32_t periods) {
  if (periods >= kMinFrame) held_ = false;
}

void BurstEvaluation::DropBurst() {
  held_ = false;  // what was lost may have been another key
  Clear();
  n_ = 0;
  long_frame_ = false;
}

BurstEvaluation::Outcome BurstEvaluation::EndBurst(bigtime_t now) {
  if (long_frame_) return FinishLongFrame(now);
  if (Evaluate(now)) return Outcome::kDecoded;
  if (trace_) ShowTiming(table_, n_ + 4);
  DropUnreported(n_);
  Clear();
  n_ = 0;
  return Outcome::kCollecting;
}

BurstEvaluation::Outcome BurstEvaluation::Add(int32_t period, bool space_ended, bigtime_t now) {
  if (n_ == 0) {
    // A short space measured from a resume, then a header pulse: the frame's gap began
    // before the resume; the frame is read as one that follows a long quiet period.
    space_from_resume_ = resumed_ && space_ended && period <= kBurstEnd;
  } else if (n_ == 1 && space_from_resume_ && !space_ended && period > kHeaderPeriod) {
    table_[0] = kResumeLead;
  }
  resumed_ = false;
  frame_quiet_ = -1;

  // The long frame read early ends at its first wall (or when the table is full).
  if (long_frame_ && (period > kWall || n_ >= kTableFull)) return FinishLongFrame(now);

  if (n_ >= kTableFull) {
    if (LeadSeen() && Evaluate(now)) return Outcome::kDecoded;
    DropUnreported(n_);
    Clear();
    n_ = 0;
  }
  table_[n_++] = period;

  Outcome outcome = Outcome::kCollecting;
  if (period > kWall) {
    ++walls_;
    if (period > kBurstEnd) {  // a lead: a new burst starts after it
      DropUnreported(n_ - 1);
      Clear();
      table_[0] = period;
      n_ = 1;
    }
    if (walls_ > kNoCodeWalls) {
      walls_ = 0;
      code_[0] = '-';
      code_[1] = '\0';
      family_ = 0;
      valid_bits_ = 0;
      outcome = Outcome::kNoCode;
    }
  }

  if (n_ == kLongFramePeriods) {
    if (!LeadSeen()) {  // a burst seen from its middle
      DropUnreported(n_);
      Clear();
      n_ = 0;
    } else {
      // A long frame the classic decoders read is reported at its end (FinishLongFrame); one
      // they cannot read keeps collecting: its burst end evaluates it whole.
      EvaluateTable();
      // A NEC frame is whole here but for its stop pulse, which carries nothing: reporting it
      // now, as before exact codes, keeps the receiver listening in time for the next press.
      if (long_frame_) {
        const std::optional<ExactCode> nec = ReadNecWithoutStop(now);
        if (nec) return Decoded(now, long_code_.c_str(), long_family_, long_bits_, nec);
      }
    }
  }
  // After a pulse (the table's lead is a space): is the burst's frame whole?
  if (outcome == Outcome::kCollecting && n_ % 2 == 0 && LeadSeen())
    frame_quiet_ =
        QuietToCompleteFrame(BurstPeriods(table_ + 1, static_cast<size_t>(n_ - 1))).value_or(-1);
  return outcome;
}

BurstEvaluation::Outcome BurstEvaluation::Decoded(bigtime_t now, const char* code, int32_t family,
                                                  int32_t valid_bits,
                                                  const std::optional<ExactCode>& exact) {
  std::strcpy(code_, code);
  family_ = family;
  valid_bits_ = valid_bits;
  exact_code_ = exact;
  last_exact_ = exact;
  long_frame_ = false;
  reported_ = true;
  last_time_ = now;
  last_family_ = family;
  last_code_ = code;
  last_bits_ = valid_bits;
  last_lead_mark_ = LeadSeen() && n_ >= 2 ? table_[1] : 0;
  held_ = true;
  walls_ = 0;
  Clear();
  n_ = 0;
  resumed_ = true;
  return Outcome::kDecoded;
}

void BurstEvaluation::EvaluateTable() {
  const int32_t valid_bits = CountValidBits(table_, false);
  int32_t family = 0;
  ProtocolDecoder decoder = DecoderForValidBits(valid_bits, &family);
  if (decoder == nullptr) return;
  char code[kCodeTextSize];
  std::strcpy(code, "-empty-");
  // The same buffers as the classic steps: the leftovers of one evaluation's decoders.
  decoder(classic_.Work(), table_, code);
  code[0] = '-';
  long_frame_ = true;
  long_code_ = code;
  long_family_ = family;
  long_bits_ = valid_bits;
}

BurstEvaluation::Outcome BurstEvaluation::FinishLongFrame(bigtime_t now) {
  const std::optional<ExactCode> exact = ReadExact(n_ - 1, now);
  const std::string code = long_code_;
  return Decoded(now, code.c_str(), long_family_, long_bits_, exact);
}

std::optional<ExactCode> BurstEvaluation::ReadNecWithoutStop(bigtime_t now) {
  std::vector<int32_t> frame(table_ + 1, table_ + n_);
  frame.push_back(kNecStopPulse);
  // Whatever else this reads is read again, whole, when the frame has ended.
  const std::optional<ExactCode> code = exact_.Burst(frame, now);
  if (!code ||
      (code->protocol != ExactProtocol::kNec && code->protocol != ExactProtocol::kNecExtended &&
       code->protocol != ExactProtocol::kNec32))
    return std::nullopt;
  // A Sanyo frame (42 bits, the same lead-in) cut at 32 bits reads as NEC32: its 13-bit
  // address followed by the address inverted says to wait for the rest.
  const uint32_t sent = code->address | code->command << 16;  // first bit sent lowest
  if (code->protocol == ExactProtocol::kNec32 && ((sent ^ (sent >> 13)) & 0x1FFF) == 0x1FFF)
    return std::nullopt;
  return code;
}

std::optional<ExactCode> BurstEvaluation::ReadExact(int32_t count, bigtime_t now) {
  if (count <= 0) return std::nullopt;
  return exact_.Burst(BurstPeriods(table_ + 1, static_cast<size_t>(count)), now);
}

bool BurstEvaluation::IsExactSecondFrame(bigtime_t now,
                                         const std::optional<ExactCode>& exact) const {
  // Sharp and Denon send each key twice, the second frame inverted: one key, one report.
  if (!exact || !reported_ || !last_exact_ || now - last_time_ > kDenonPair) return false;
  return (exact->protocol == ExactProtocol::kDenon || exact->protocol == ExactProtocol::kSharp) &&
         exact->SameKey(*last_exact_);
}

bool BurstEvaluation::IsRepeatWithoutHeader(const std::vector<int32_t>& burst) const {
  if (last_burst_.empty() || last_burst_[0] <= kHeaderPeriod ||
      burst.size() + 2 != last_burst_.size())
    return false;
  for (size_t i = 0; i < burst.size(); ++i) {
    const int64_t expected = last_burst_[i + 2];
    if (std::llabs(burst[i] - expected) * 4 > expected) return false;
  }
  return true;
}

bool BurstEvaluation::IsDenonSecondFrame(bigtime_t now, const char* code, int32_t family) const {
  constexpr int32_t kDenonFamily = 3;
  constexpr size_t kBits = 15;
  constexpr size_t kAddressBits = 5;
  if (family != kDenonFamily || !reported_ || last_family_ != kDenonFamily ||
      now - last_time_ > kDenonPair)
    return false;
  const std::string bits = BitsAfterStar(code, kBits);
  const std::string before = BitsAfterStar(last_code_, kBits);
  if (bits.empty() || before.empty() || bits.compare(0, kAddressBits, before, 0, kAddressBits))
    return false;
  for (size_t i = kAddressBits; i < kBits; ++i)
    if (bits[i] == before[i]) return false;
  return true;
}

bool BurstEvaluation::Evaluate(bigtime_t now) {
  if (RepeatFrameInTable()) return RepeatLastReport(now);
  const int32_t lead = table_[0];
  const std::optional<ExactCode> exact = ReadExact(n_ - 1, now);
  const std::vector<int32_t> burst = WithoutShortSegments(table_ + 1, n_ - 1);
  // What only the exact decoder reads is reported with the fields of a report without a code.
  const auto exact_only = [&] {
    if (!exact || IsExactSecondFrame(now, exact)) return false;
    Decoded(now, "-", 0, 0, exact);
    return true;
  };
  if (burst.empty()) return exact_only();
  if (IsRepeatWithoutHeader(burst)) {
    Decoded(now, last_burst_code_.c_str(), last_burst_family_, last_burst_bits_, exact);
    return true;
  }

  // The classic thread over lead, burst, lead, burst, ... as if the key were held; the first
  // report it decodes is the burst's. It runs to the end, as the classic thread would, so the
  // decoders' work buffers end as they would there.
  classic_.Start();
  bigtime_t now_classic = kClassicStartSleep;
  bigtime_t change = kClassicStartSleep;
  bool found = false;
  std::string code;
  int32_t family = 0;
  int32_t valid_bits = 0;
  const auto feed = [&](int32_t period) {
    change += period;
    if (change <= now_classic) return;  // the classic thread was suspended then
    const bigtime_t measured = change - now_classic;
    now_classic = change;
    const auto outcome = classic_.Add(measured > std::numeric_limits<int32_t>::max()
                                          ? std::numeric_limits<int32_t>::max()
                                          : static_cast<int32_t>(measured));
    if (outcome == Outcome::kDecoded) {
      if (!found) {
        found = true;
        code = classic_.Code();
        family = classic_.Family();
        valid_bits = classic_.ValidBits();
      }
      now_classic = ((now_classic + kClassicReportSleep) / kClassicPulse + 1) * kClassicPulse;
    }
    classic_.FinishCycle();
  };
  feed(lead);
  for (int32_t copy = 0; copy < kCopies; ++copy) {
    for (const int32_t period : burst) feed(period);
    feed(lead);
  }
  if (!found) return exact_only();
  if (IsDenonSecondFrame(now, code.c_str(), family)) {
    if (trace_) Trace(" Denon second frame\n");
    return false;
  }
  last_burst_ = burst;
  last_burst_code_ = code;
  last_burst_family_ = family;
  last_burst_bits_ = valid_bits;
  Decoded(now, code.c_str(), family, valid_bits, exact);
  return true;
}

}  // namespace koru
