#pragma once
// The errno of a failed device open as a status of the receiver port.
#include "platform/status.h"

status_t SerialOpenStatus(int error_number);
