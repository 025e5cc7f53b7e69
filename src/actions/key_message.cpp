#include "actions/key_message.h"

#include <array>

namespace koru {

Message MakeKeyMessage(bigtime_t when, int32_t modifiers) {
  Message message(kKeyDown);
  message.AddInt64("when", when);
  message.AddInt32("modifiers", modifiers);
  return message;
}

void AddZeroKeyStates(Message* message) {
  std::array<uint8_t, kKeyStatesSize> states{};
  message->AddData("states", kUint8Type, states.data(), states.size());
}

void SetKeyState(Message* message, int32_t index, uint8_t value) {
  std::array<uint8_t, kKeyStatesSize> states{};
  const Message::RawData* old = nullptr;
  bool present = message->FindData("states", kUint8Type, &old) == kOk;
  if (present && old->size() == states.size()) std::copy(old->begin(), old->end(), states.begin());
  states[index] = value;
  if (present)
    message->ReplaceData("states", kUint8Type, states.data(), states.size());
  else
    message->AddData("states", kUint8Type, states.data(), states.size());
}

void SetInt32(Message* message, const char* name, int32_t value) {
  if (message->ReplaceInt32(name, value) != kOk) message->AddInt32(name, value);
}

void SetKeyCharacter(Message* message, int32_t character) {
  SetInt32(message, "raw_char", character);
  if (message->ReplaceInt8("byte", static_cast<int8_t>(character)) != kOk) {
    message->AddInt8("byte", static_cast<int8_t>(character));
  }
}

}  // namespace koru
