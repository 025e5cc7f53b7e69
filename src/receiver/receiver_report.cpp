#include "receiver/receiver_report.h"

namespace koru {

ReceiverReport MakeReceiverReport(std::string_view code, int32_t family, int32_t valid_bits,
                                  bool slowdown, std::optional<ExactCode> exact) {
  ReceiverReport report;
  report.code = std::string(code);
  report.bytes = ReadCodeBytes(code);
  report.family = family;
  report.valid_bits = valid_bits;
  report.slowdown = slowdown;
  report.exact = std::move(exact);
  return report;
}

}  // namespace koru
