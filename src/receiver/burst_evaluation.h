#pragma once
// The receiver's default bookkeeping: a burst (the frames of one key press, from the first
// quiet period longer than kBurstEnd) is evaluated as soon as the line has been quiet for
// kBurstEnd after it, so a single press is reported on its first frame. The evaluation feeds
// the burst, repeated, through the classic steps (ClassicEvaluation) with the same decoders,
// so every code text is the one the classic thread settles on for a held key, and stored
// remotes keep matching. Each evaluated burst also goes to the exact decoder: a report carries
// the exact code beside the classic one, and a burst that only the exact decoder reads is
// reported with the fields of a report without a code. A long frame the classic steps read
// before its end is reported when the frame has ended, so that its exact code is read whole;
// a NEC frame, whole but for its stop pulse, is reported at once. A frame of a protocol the
// exact decoder names ends its burst as soon as it is whole (QuietToEnd): its last bit in, or
// the quiet after it too long for a longer form of its protocol. A held key's repeat frame
// (a lead-in and one pulse, no data) reports the last key again while the key is held.
//
// The thread drives it (times in microseconds on the thread's clock):
//   burst.Start();
//   wait for the next change, until t0 + QuietToEnd() + 1 when burst.ReadyToEnd();
//   timed out:   outcome = burst.EndBurst(t0 + QuietToEnd() + 1);
//                (QuietToEnd() is asked after every Add: it is shorter once a frame is whole)
//   a change:    outcome = burst.Add(period, space_ended, change_time);
//   kDecoded:    send Code(), Family(), ValidBits(), Exact(); sleep; suspend (the next period
//                is measured from the resume)
//   kNoCode:     send the no-code report
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/messaging/clock.h"
#include "receiver/classic_evaluation.h"
#include "receiver/duration_table.h"
#include "receiver/exact/exact_decoder.h"
#include "receiver/protocol_decoders.h"

namespace koru {

class BurstEvaluation {
 public:
  using Outcome = ClassicEvaluation::Outcome;

  static constexpr int32_t kWall = 10000;           // a longer period separates two frames
  static constexpr int32_t kBurstEnd = 15000;       // a longer quiet period ends a burst
  static constexpr int32_t kMinFrame = 6;           // shorter frames are noise or repeat codes
  static constexpr int32_t kCopies = 8;             // repeats of a burst in its evaluation
  static constexpr int32_t kResumeLead = 100000;    // lead given to a frame seen after a resume
  static constexpr bigtime_t kDenonPair = 500000;   // the inverted second frame comes within
  static constexpr int32_t kLongFramePeriods = 67;  // a 32-bit frame is complete here
  static constexpr int32_t kNoCodeWalls = 8;
  // A long frame the classic decoders read ends this long after its last change: longer than
  // any space inside a frame, short enough that the next press is listened for in time.
  static constexpr int32_t kLongFrameEnd = 4000;
  static constexpr int32_t kNecStopPulse = 560;
  // A held key's repeat frame (a lead-in and one pulse, no data) still belongs to the key when
  // its burst ends at most this long after the key's last report. After a report the thread is
  // deaf for the pause and until the view's next pulse (10 + 250 ms); a repeat frame cut by the
  // resume is lost, so the next whole one ends up to a repeat period (108 ms for NEC) and its
  // own length (12 ms) later, and its burst ends 15 ms (kBurstEnd) after that: 395 ms, with
  // room here for remotes whose repeat period is longer. A longer silence is a released key.
  static constexpr bigtime_t kHeldRepeat = 450000;

  explicit BurstEvaluation(bool trace);

  // A fresh thread: empty table, no walls, nothing reported yet.
  void Start();
  // True when a burst seen from its start holds a frame: the wait should end kBurstEnd after
  // the last change.
  bool ReadyToEnd() const;
  // How long the line must be quiet after the last change to end the burst: less when the
  // burst's frame is whole (QuietToCompleteFrame), so the key is reported then.
  int32_t QuietToEnd() const {
    if (frame_quiet_ >= 0) return frame_quiet_;
    return long_frame_ ? kLongFrameEnd : kBurstEnd;
  }
  // The line has been quiet since the last change for longer than kBurstEnd; `now` is then.
  Outcome EndBurst(bigtime_t now);
  // One level period; `space_ended` when the line went to the pulse level at its end.
  Outcome Add(int32_t period, bool space_ended, bigtime_t now);
  // Drops the burst in progress (edges were lost on the line).
  void DropBurst();

  const char* Code() const { return code_; }
  int32_t Family() const { return family_; }
  int32_t ValidBits() const { return valid_bits_; }
  // The exact code of the last decoded report, if the exact decoder read one.
  const std::optional<ExactCode>& Exact() const { return exact_code_; }
  const int32_t* Table() const { return table_; }

 private:
  bool LeadSeen() const { return n_ >= 1 && table_[0] > kBurstEnd; }
  // The table holds a lead and a repeat frame (a lead-in and one pulse) only.
  bool RepeatFrameInTable() const;
  // The table holds a lead and a short serial frame only: the exact decoder reads it whole, the
  // classic steps never see it.
  bool SerialFrameInTable() const;
  // The last report again for a held key's repeat frame; false when it has no key to repeat.
  bool RepeatLastReport(bigtime_t now);
  // `periods` of the table are dropped unreported: a frame heard there (or a long piece of one,
  // as a resume inside it leaves) is another press, whose repeat frames are not the last key's.
  void DropUnreported(int32_t periods);
  void Clear();
  Outcome Decoded(bigtime_t now, const char* code, int32_t family, int32_t valid_bits,
                  const std::optional<ExactCode>& exact);
  // The exact code of the burst in the table (after its lead), first `count` periods.
  std::optional<ExactCode> ReadExact(int32_t count, bigtime_t now);
  // The NEC or NECx code of the long frame in the table, read before its stop pulse arrives.
  std::optional<ExactCode> ReadNecWithoutStop(bigtime_t now);
  // Reports the long frame read early, now that it has ended.
  Outcome FinishLongFrame(bigtime_t now);
  bool IsExactSecondFrame(bigtime_t now, const std::optional<ExactCode>& exact) const;
  // The burst evaluation proper; false when nothing is to be reported.
  bool Evaluate(bigtime_t now);
  // The classic decoders over the long frame in the table; what they read waits for the frame's
  // end.
  void EvaluateTable();
  bool IsRepeatWithoutHeader(const std::vector<int32_t>& burst) const;
  bool IsDenonSecondFrame(bigtime_t now, const char* code, int32_t family) const;

  const bool trace_;
  DurationTable table_{};
  int32_t n_ = 0;
  int32_t walls_ = 0;
  int32_t frame_quiet_ = -1;        // the quiet that completes the frame in the table; -1: none
  bool resumed_ = false;            // no period measured since the last self-suspension
  bool space_from_resume_ = false;  // the first period after it was a short space

  char code_[kCodeTextSize] = {};
  int32_t family_ = 0;
  int32_t valid_bits_ = 0;
  std::optional<ExactCode> exact_code_;

  // A long frame the classic steps read before its end: reported when it ends.
  bool long_frame_ = false;
  std::string long_code_;
  int32_t long_family_ = 0;
  int32_t long_bits_ = 0;

  ExactDecoder exact_;
  std::optional<ExactCode> last_exact_;  // of the last decoded report

  // The last decoded report and the last burst that was evaluated through the classic steps.
  bool reported_ = false;
  bigtime_t last_time_ = 0;
  int32_t last_family_ = 0;
  std::string last_code_;
  int32_t last_bits_ = 0;
  int32_t last_lead_mark_ = 0;  // the first pulse of the last reported frame (0: not seen)
  bool held_ = false;           // nothing but repeat frames heard since the last report
  std::vector<int32_t> last_burst_;
  std::string last_burst_code_;
  int32_t last_burst_family_ = 0;
  int32_t last_burst_bits_ = 0;

  ClassicEvaluation classic_{nullptr, nullptr, false};
};

}  // namespace koru
