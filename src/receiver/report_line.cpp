#include "receiver/report_line.h"

#include <cstdio>

namespace koru {

std::string ReceiverReportLine(bigtime_t time, const ReceiverReport& report) {
  char head[96];
  std::snprintf(head, sizeof head, "%lld.%03lld irCE type=%d bits=%d blink=\"",
                static_cast<long long>(time / 1000), static_cast<long long>(time % 1000),
                report.family, report.valid_bits);
  std::string line = head + report.code + "\"";
  if (report.bytes.Classic()) {
    char bytes[128];
    std::snprintf(bytes, sizeof bytes, " header=%d byte2=%d byte3=%d byte4=%d",
                  report.bytes.Header(), report.bytes.Byte(2), report.bytes.Byte(3),
                  report.bytes.Byte(4));
    line += bytes;
  }
  if (report.exact) line += " exact=" + ExactField(*report.exact);
  return line;
}

}  // namespace koru
