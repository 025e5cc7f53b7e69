#pragma once
// Type codes of message fields and file attributes.
#include "platform/messaging/four_cc.h"

namespace koru {

// A signed byte
inline constexpr type_code kInt8Type = FourCC("BYTE");

// A 32-bit integer
inline constexpr type_code kInt32Type = FourCC("LONG");

// A 64-bit integer
inline constexpr type_code kInt64Type = FourCC("LLNG");

// A truth value
inline constexpr type_code kBoolType = FourCC("BOOL");

// A float
inline constexpr type_code kFloatType = FourCC("FLOT");

// A zero-terminated text
inline constexpr type_code kStringType = FourCC("CSTR");

// A pointer, valid only inside this process
inline constexpr type_code kPointerType = FourCC("PNTR");

// A messenger
inline constexpr type_code kMessengerType = FourCC("MSNG");

// A rectangle
inline constexpr type_code kRectType = FourCC("RECT");

// Bytes without a type
inline constexpr type_code kRawType = FourCC("RAWT");

// An unsigned byte (the key states of a key message)
inline constexpr type_code kUint8Type = FourCC("UBYT");

}  // namespace koru
