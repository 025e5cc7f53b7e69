#pragma once
// The receiver session's questions as the main window asks them: non-blocking message boxes,
// so the program goes on (and can be ended) while one is open.
#include <string>

#include "receiver/receiver_session.h"

namespace koru {

// The "RESOURCE_BUSY" question: "Nothing" or "Sensor is removed".
void AskWhetherSensorRemoved(const ReceiverSession::BusyAnswer& answer);
// That no receiver was found, and what KORU can use.
void NoticeNoReceiver(const std::string& text);

}  // namespace koru
