#include "receiver/scancode_evaluation.h"

#include <vector>

#include "receiver/exact/exact_encoder.h"
#include "receiver/exact/kernel_scancode_code.h"

namespace koru {

namespace {

// The quiet time before the frame: a burst is read from its start.
constexpr int32_t kLead = 100000;

}  // namespace

void ScancodeEvaluation::Evaluate(const KernelScancode& scancode) {
  exact_ = ExactFromKernelScancode(scancode.protocol, scancode.scancode);
  code_ = "-";
  family_ = 0;
  valid_bits_ = 0;
  std::vector<int32_t> periods;
  if (!EncodeExactPress(*exact_, 0, &periods) || periods.empty()) return;
  // Each press on a fresh evaluation: a frame is never taken for the repeat of another.
  burst_.Start();
  bigtime_t now = kLead;
  BurstEvaluation::Outcome outcome = burst_.Add(kLead, true, now);
  // As the thread meets the periods: a quiet period long enough ends the burst at its deadline;
  // after the last pulse the line stays quiet.
  for (size_t i = 0; i < periods.size() && outcome != BurstEvaluation::Outcome::kDecoded; ++i) {
    const bool last = i + 1 == periods.size();
    if (i % 2 == 1 && burst_.ReadyToEnd() && (last || periods[i] > burst_.QuietToEnd())) {
      outcome = burst_.EndBurst(now + burst_.QuietToEnd() + 1);
      if (outcome == BurstEvaluation::Outcome::kDecoded || last) break;
    }
    now += periods[i];
    outcome = burst_.Add(periods[i], i % 2 == 1, now);
  }
  if (outcome != BurstEvaluation::Outcome::kDecoded || burst_.Family() == 0) return;
  code_ = burst_.Code();
  family_ = burst_.Family();
  valid_bits_ = burst_.ValidBits();
}

}  // namespace koru
