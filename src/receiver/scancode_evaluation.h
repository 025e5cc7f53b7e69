#pragma once
// The report of a press the kernel decoded (a receiver in scancode mode): the exact code from
// the scancode, and the classic code text the receiver would have read from the frame, so
// classic and exact remotes match it as they match a press read from the periods. The frame is
// made from the exact code and read by the burst evaluation; a protocol KORU cannot send gives
// the exact code alone (the fields of a report without a classic code).
#include <cstdint>
#include <optional>
#include <string>

#include "platform/lines/kernel_scancode.h"
#include "receiver/burst_evaluation.h"
#include "receiver/exact/exact_code.h"

namespace koru {

class ScancodeEvaluation {
 public:
  ScancodeEvaluation() : burst_(false) {}

  void Evaluate(const KernelScancode& scancode);

  const char* Code() const { return code_.c_str(); }
  int32_t Family() const { return family_; }
  int32_t ValidBits() const { return valid_bits_; }
  const std::optional<ExactCode>& Exact() const { return exact_; }
  const int32_t* Table() const { return burst_.Table(); }

 private:
  BurstEvaluation burst_;
  std::string code_ = "-";
  int32_t family_ = 0;
  int32_t valid_bits_ = 0;
  std::optional<ExactCode> exact_;
};

}  // namespace koru
