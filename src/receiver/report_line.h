#pragma once
// One text line for a receiver report, as koru-decode prints it:
//   <t_ms> irCE type=<family> bits=<valid bits> blink="<code text>"
// plus " header=<byte0*1000+byte1> byte2=<b2> byte3=<b3> byte4=<b4>" when the code text
// without separators has more than 12 characters, and " exact=<exact field>" when the report
// carries an exact code.
#include <string>

#include "platform/messaging/clock.h"
#include "receiver/receiver_report.h"

namespace koru {

std::string ReceiverReportLine(bigtime_t time, const ReceiverReport& report);

}  // namespace koru
