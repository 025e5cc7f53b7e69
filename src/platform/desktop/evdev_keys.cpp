#include "platform/desktop/evdev_keys.h"

#include <linux/input-event-codes.h>

#include <algorithm>

#include "platform/desktop/key_message_modifiers.h"
#include "platform/messaging/trace.h"

namespace koru {

uint16_t EvdevCodeForKeyCode(int32_t key) {
  struct Row {
    int32_t key;
    uint16_t code;
  };
  static constexpr Row kRows[] = {
      {0x01, KEY_ESC},     {0x20, KEY_HOME},    {0x21, KEY_PAGEUP},   {0x25, KEY_KPMINUS},
      {0x26, KEY_TAB},     {0x35, KEY_END},     {0x36, KEY_PAGEDOWN}, {0x3a, KEY_KPPLUS},
      {0x3f, KEY_F},       {0x47, KEY_ENTER},   {0x57, KEY_UP},       {0x5b, KEY_KPENTER},
      {0x5d, KEY_LEFTALT}, {0x5e, KEY_SPACE},   {0x61, KEY_LEFT},     {0x62, KEY_DOWN},
      {0x63, KEY_RIGHT},   {0x68, KEY_COMPOSE},
  };
  for (const Row& row : kRows) {
    if (row.key == key) return row.code;
  }
  return 0;
}

std::vector<uint16_t> EvdevStrokeForMessage(const Message& message) {
  int32_t modifiers = message.GetInt32("modifiers", 0);
  std::vector<uint16_t> keys;
  if (modifiers & kShiftBits) keys.push_back(KEY_LEFTSHIFT);
  if (modifiers & kControlBits) keys.push_back(KEY_LEFTCTRL);
  if (modifiers & kCommandBits) keys.push_back(KEY_LEFTALT);
  int32_t key = 0;
  for (int32_t i = 0; message.FindInt32("key", &key, i) == kOk; ++i) {
    uint16_t code = EvdevCodeForKeyCode(key);
    if (code == 0) {
      Trace("desktop: key 0x%x has no evdev key, not sent\n", static_cast<unsigned>(key));
      return {};
    }
    if (std::find(keys.begin(), keys.end(), code) == keys.end()) keys.push_back(code);
  }
  return keys;
}

}  // namespace koru
