#pragma once
// Key messages as evdev key codes, the language of uinput devices and of the RemoteDesktop
// portal. Evdev codes name physical keys: what a key types follows the user's keyboard layout.
#include <cstdint>
#include <vector>

#include "platform/messaging/message.h"

namespace koru {

// The evdev code of a key code of the key message; 0 when there is none.
uint16_t EvdevCodeForKeyCode(int32_t key);

// The keys of a key message ("modifiers" first, then each "key" item once), in press order.
// Empty, with a trace line, when one of them has no evdev code.
std::vector<uint16_t> EvdevStrokeForMessage(const Message& message);

}  // namespace koru
