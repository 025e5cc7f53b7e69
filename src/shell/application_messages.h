#pragma once
// The main window's and the application's own messages: menus, settings switches and notices that
// only the shell acts on.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// Shows the settings page
inline constexpr uint32_t kShowSettings = FourCC("PREF");

// Shows the about box
inline constexpr uint32_t kAboutRequested = FourCC("_ABR");

// Imports a LIRC remote
inline constexpr uint32_t kImportLircRemote = FourCC("irLI");

// Imports a kernel keymap
inline constexpr uint32_t kImportKernelKeymap = FourCC("irKI");

// The coloured display setting was clicked
inline constexpr uint32_t kColorsToggled = FourCC("irpp");

// The system sound setting was clicked
inline constexpr uint32_t kSystemSoundToggled = FourCC("irss");

// The setting that holds the receiver's info was clicked
inline constexpr uint32_t kHoldReceiverInfoToggled = FourCC("irhi");

// The setting that shows the pulse view was clicked
inline constexpr uint32_t kPulseViewToggled = FourCC("irsp");

// The application opened the media list: the main window's menu follows
inline constexpr uint32_t kMediaListOpened = FourCC("MWva");

// The media list is not open: the main window's menu follows
inline constexpr uint32_t kMediaListNotOpen = FourCC("MWna");

// A receiver thread has ended; the main window ignores it
inline constexpr uint32_t kReceiverOff = FourCC("-IR-");

// A receiver thread has ended; the main window ignores it
inline constexpr uint32_t kReceiverEnded = FourCC("_IR_");

// Relayed to the main window and the receiver observer; nothing sends it today
inline constexpr uint32_t kReceiverPortChecked = FourCC("irCP");

// Relayed to the main window and the receiver observer; nothing sends it today
inline constexpr uint32_t kReceiverTrace = FourCC("irTR");

// Written to the trace as it is
inline constexpr uint32_t kDumpToTrace = FourCC("RFID");

// A reply the application ignores
inline constexpr uint32_t kReplyIgnored = FourCC("RPLY");

// Written to the trace by the application
inline constexpr uint32_t kUiChanged = FourCC("_UIC");

}  // namespace koru
