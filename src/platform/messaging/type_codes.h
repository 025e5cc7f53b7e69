#pragma once
// Type codes of message fields and file attributes.
#include "platform/messaging/four_cc.h"

constexpr type_code kInt8Type = FourCC("BYTE");
constexpr type_code kInt32Type = FourCC("LONG");
constexpr type_code kInt64Type = FourCC("LLNG");
constexpr type_code kBoolType = FourCC("BOOL");
constexpr type_code kFloatType = FourCC("FLOT");
constexpr type_code kStringType = FourCC("CSTR");
constexpr type_code kPointerType = FourCC("PNTR");
constexpr type_code kMessengerType = FourCC("MSNG");
constexpr type_code kRectType = FourCC("RECT");
constexpr type_code kRawType = FourCC("RAWT");
