#pragma once
// The errno of a failed device open as a status of the receiver port.
#include "platform/messaging/status.h"

namespace koru {

status_t SerialOpenStatus(int error_number);

}  // namespace koru
