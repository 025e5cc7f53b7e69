#include "receiver/report_line.h"

#include <cstdio>

#include "receiver/code_bytes.h"

std::string ReceiverReportLine(bigtime_t time, const Message& report) {
  std::string blink;
  if (report.what != FourCC("irCE") || report.FindString("_blink", &blink) != kOk) return {};
  char head[96];
  std::snprintf(head, sizeof head, "%lld.%03lld irCE type=%d bits=%d blink=\"",
                static_cast<long long>(time / 1000), static_cast<long long>(time % 1000),
                report.GetInt32("_remotetype", 0), report.GetInt32("_ValidBits", 0));
  std::string line = head + blink + "\"";
  if (StripCodeSeparators(blink).size() > 12) {
    char bytes[128];
    std::snprintf(bytes, sizeof bytes, " header=%d byte2=%d byte3=%d byte4=%d",
                  IrStr4Value(blink, 0) * 1000 + IrStr4Value(blink, 1), IrStr4Value(blink, 2),
                  IrStr4Value(blink, 3), IrStr4Value(blink, 4));
    line += bytes;
  }
  std::string exact;
  if (report.FindString("_exact", &exact) == kOk) line += " exact=" + exact;
  return line;
}
