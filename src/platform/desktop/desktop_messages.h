#pragma once
// The key, pointer and window events: the desktop backends act on them, and windows receive them
// from the desktop; defined here so that every layer can send them.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// A key goes down ("when", "modifiers", "states"); a remote key to a window ("korukey")
inline constexpr uint32_t kKeyDown = FourCC("_KYD");

// A key comes up
inline constexpr uint32_t kKeyUp = FourCC("_KYU");

// A pointer button goes down
inline constexpr uint32_t kMouseDown = FourCC("_MDN");

// A pointer button comes up
inline constexpr uint32_t kMouseUp = FourCC("_MUP");

// Asks a window, a program or KORU itself to quit ("status")
inline constexpr uint32_t kQuitRequested = FourCC("_QRQ");

// A key without a character goes down; windows ignore it
inline constexpr uint32_t kUnmappedKeyDown = FourCC("_UKD");

// A key without a character comes up; windows ignore it
inline constexpr uint32_t kUnmappedKeyUp = FourCC("_UKU");

// An input event of another window; the main window ignores it
inline constexpr uint32_t kKeyDownEvent = FourCC("_KDN");

// The pointer moved; the main window ignores it
inline constexpr uint32_t kMouseMoved = FourCC("_MMV");

// The modifier keys changed; the main window ignores it
inline constexpr uint32_t kModifiersChanged = FourCC("_MCH");

// The wheel turned; windows ignore it
inline constexpr uint32_t kMouseWheelChanged = FourCC("_MWC");

// A window's periodic pulse; the main window ignores it
inline constexpr uint32_t kPulseEvent = FourCC("_PBL");

// A drag passed over a window; the main window ignores it
inline constexpr uint32_t kDragPassed = FourCC("_DPD");

// Files dropped on a window ("refs")
inline constexpr uint32_t kDroppedData = FourCC("DATA");

}  // namespace koru
