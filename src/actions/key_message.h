#pragma once
// The synthetic key message that keystroke, pointer and media actions send.
#include <cstdint>

#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/message.h"
#include "platform/messaging/type_codes.h"

namespace koru {

inline constexpr int32_t kKeyStatesSize = 16;

// '_KYD' with "when" and "modifiers".
Message MakeKeyMessage(bigtime_t when, int32_t modifiers = 0x30);
// Adds "states" (16 zero bytes) or, when present, keeps it; then sets byte `index` to `value`.
void SetKeyState(Message* message, int32_t index, uint8_t value);
// Adds "states" with 16 zero bytes.
void AddZeroKeyStates(Message* message);
// Sets "raw_char" and "byte" to `character`, adding them when missing.
void SetKeyCharacter(Message* message, int32_t character);
// Replaces the first item of an int32 field, adding it when missing.
void SetInt32(Message* message, const char* name, int32_t value);

}  // namespace koru
