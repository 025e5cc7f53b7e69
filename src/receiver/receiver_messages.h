#pragma once
// The receiver's messages: what the receiver thread reports, and how the windows start, stop and
// point it at a port.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// The start message a receiver thread is given (port, flags, messenger)
inline constexpr uint32_t kStartReceiver = FourCC("snif");

// The receiver's report of a code
inline constexpr uint32_t kReceiverReport = FourCC("irCE");

// The receiver found no port
inline constexpr uint32_t kNoReceiverPort = FourCC("ir--");

// The port is held by another program ("port")
inline constexpr uint32_t kReceiverPortBusy = FourCC("irRB");

// Ends the receiver thread
inline constexpr uint32_t kEndReceiverThread = FourCC("irTQ");

// The receiver thread's priority slider moved ("be:value")
inline constexpr uint32_t kReceiverPriority = FourCC("sldm");

// The receiver has been quiet a while: the router, the virtual remote and the main window clear the
// shown key
inline constexpr uint32_t kClearShownKey = FourCC("RUBR");

// Use the first serial port
inline constexpr uint32_t kUseSerial1 = FourCC("SER1");

// Use the second serial port
inline constexpr uint32_t kUseSerial2 = FourCC("SER2");

// Use the third serial port
inline constexpr uint32_t kUseSerial3 = FourCC("SER3");

// Use the fourth serial port
inline constexpr uint32_t kUseSerial4 = FourCC("SER4");

// Use the first USB serial port
inline constexpr uint32_t kUseUsb0 = FourCC("USB0");

// Use the second USB serial port
inline constexpr uint32_t kUseUsb1 = FourCC("USB1");

// Use the third USB serial port
inline constexpr uint32_t kUseUsb2 = FourCC("USB2");

// Use the fourth USB serial port
inline constexpr uint32_t kUseUsb3 = FourCC("USB3");

// Use another receiver of this machine ("port")
inline constexpr uint32_t kUsePortByName = FourCC("SERP");

}  // namespace koru
