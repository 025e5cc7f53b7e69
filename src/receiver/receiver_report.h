#pragma once
// What the receiver thread reports for a burst, typed: the code text the classic decoders wrote
// (shown and traced as it is), the same code already read as bytes, the protocol family, the
// valid bits, the slow-down and the exact code when the burst has one. Nobody downstream reads
// the text back.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "receiver/code_bytes.h"
#include "receiver/exact/exact_code.h"

namespace koru {

struct ReceiverReport {
  std::string code;                // the code text, e.g. "-100-11111-11100000-..."
  CodeBytes bytes;                 // `code` read as bytes
  int32_t family = 0;              // the classic decoder's family; 0: no classic code
  int32_t valid_bits = 0;          // the valid bits the classic decoders counted
  bool slowdown = false;           // the receiver asks for the slow pulse
  std::optional<ExactCode> exact;  // with its bits
};

// A report whose bytes are read from `code`.
ReceiverReport MakeReceiverReport(std::string_view code, int32_t family, int32_t valid_bits,
                                  bool slowdown, std::optional<ExactCode> exact = std::nullopt);

}  // namespace koru
