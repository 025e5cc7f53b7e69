#pragma once
// Status codes: functions report failures by value, never by exception.
#include <cstdint>
#include <string>

namespace koru {

using status_t = int32_t;

constexpr status_t kOk = 0;
constexpr status_t kError = -1;
constexpr status_t kNoMemory = -2;
constexpr status_t kBadValue = -3;
constexpr status_t kEntryNotFound = -4;
constexpr status_t kNameNotFound = -5;
constexpr status_t kBadIndex = -6;
constexpr status_t kBadType = -7;
constexpr status_t kTimedOut = -8;
constexpr status_t kBusy = -9;
constexpr status_t kIoError = -10;
constexpr status_t kNoDevice = -11;
constexpr status_t kBadThreadId = -12;
constexpr status_t kNotAllowed = -13;
constexpr status_t kInterrupted = -14;
constexpr status_t kUnsupported = -15;
constexpr status_t kBadPort = -16;

// A readable text for a status (for the trace and for alerts).
std::string StatusText(status_t status);

// Maps an errno value to the nearest status.
status_t StatusFromErrno(int error_number);

}  // namespace koru
