#include "receiver/classic_evaluation.h"

#include <cstring>

#include "platform/messaging/trace.h"
#include "receiver/pulse_analysis.h"
#include "receiver/sampling_thread.h"

namespace koru {

namespace {

constexpr int32_t kWall = 10000;        // a longer period is a gap between frames
constexpr int32_t kForcedPeriods = 66;  // more stored periods force an evaluation
constexpr int32_t kForcedWalls = 6;     // more walls force an evaluation
constexpr int32_t kClearWall = 4;       // the table is emptied at this wall
constexpr int32_t kNoCodeWalls = 8;     // more walls give the no-code report
constexpr int32_t kLoopReset = 245;

}  // namespace

ClassicEvaluation::ClassicEvaluation(ReceiverPort* port, ReceiverFlags* flags, bool trace)
    : port_(port), flags_(flags), trace_(trace) {}

void ClassicEvaluation::Start() {
  std::strcpy(code_, "-------- -------- ");
  std::memset(table_, 0, sizeof table_);
  n_ = 0;
  walls_ = 0;
  great_walls_ = 0;
  loops_ = 0;
  family_ = 0;
  reported_bits_ = 0;
  evaluate_ = false;
  forced_ = false;
}

void ClassicEvaluation::Clear(bool with_port, bool stop_scanning) {
  ClearDataField(table_, with_port ? port_ : nullptr, stop_scanning ? flags_ : nullptr);
}

ClassicEvaluation::Outcome ClassicEvaluation::Add(int32_t period) {
  forced_ = false;
  if (n_ >= kDurationTableSize) n_ = 0;  // cannot happen: evaluation empties it at 67
  table_[n_++] = period;

  if (period > kWall) {
    ++walls_;
    if (flags_ != nullptr) flags_->scanning.store(1);
    if (walls_ == kClearWall) {
      Clear(true, true);
      n_ = 0;
    }
    if (walls_ > kNoCodeWalls) {
      Clear(true, true);
      walls_ = 0;
      code_[1] = '\0';
      if (flags_ != nullptr) flags_->scanning.store(0);
      reported_bits_ = 0;
      great_walls_ = 0;
      evaluate_ = false;
      n_ = 0;
      family_ = 0;
      return Outcome::kNoCode;
    }
  }

  if (n_ > kForcedPeriods) {
    evaluate_ = true;
    forced_ = true;
    if (trace_) Trace("** erzwingen-DNr \n");
  }
  if (walls_ > kForcedWalls) {
    evaluate_ = true;
    forced_ = true;
    if (trace_) Trace("** erzwingen-VB \n");
  }
  if (!(evaluate_ && forced_)) return Outcome::kCollecting;

  loops_ = 0;
  if (port_ != nullptr) port_->ClearInput();
  std::strcpy(code_, "-empty-");
  const int32_t valid_bits = CountValidBits(table_, false);
  if (trace_)
    Trace(" GWall %ld ValidBits %ld \n", static_cast<long>(walls_), static_cast<long>(valid_bits));
  int32_t family = 0;
  if (ProtocolDecoder decoder = DecoderForValidBits(valid_bits, &family)) {
    decoder(work_, table_, code_);
    code_[0] = '-';
    family_ = family;
    reported_bits_ = valid_bits;
    walls_ = 0;
    great_walls_ = 0;
    evaluate_ = false;
    // `scanning` drops only when the thread suspends, after its report.
    Clear(true, false);
    n_ = 0;
    return Outcome::kDecoded;
  }
  if (trace_) ShowTiming(table_, n_ + 4);
  great_walls_ = 0;
  reported_bits_ = 0;
  family_ = 0;
  evaluate_ = false;
  Clear(false, true);
  n_ = 0;
  return Outcome::kCollecting;
}

void ClassicEvaluation::DropBurst() {
  std::memset(table_, 0, sizeof table_);
  n_ = 0;
}

void ClassicEvaluation::FinishCycle() {
  if (loops_ == kLoopReset) {
    loops_ = 0;
    if (port_ != nullptr) {
      port_->ClearInput();
      port_->ClearOutput();
    }
    if (trace_) Trace(" +reset loops\n");
  }
  if (forced_) {
    n_ = 0;
    evaluate_ = false;
    code_[1] = '\0';
    ++great_walls_;
    if (trace_) Trace(" GREATWALL %ld \n", static_cast<long>(great_walls_));
  }
  ++loops_;
}

}  // namespace koru
