// Key presses for the active application: Alt with keypad plus or minus, and the per
// application key tables.
#include <cstring>

#include "actions/actions.h"
#include "actions/key_message.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr char kTwoQuotes[] = "\"\"";

struct KeyRow {
  int32_t n;
  int32_t key;
  int32_t state_index;  // -1: no "states"
  uint8_t state_value;
  int32_t character;
};

const KeyRow* FindRow(const KeyRow* rows, size_t count, int32_t n) {
  for (size_t i = 0; i < count; ++i) {
    if (rows[i].n == n) return &rows[i];
  }
  return nullptr;
}

void ApplyRow(Message* message, const KeyRow& row) {
  SetInt32(message, "key", row.key);
  if (row.state_index >= 0) SetKeyState(message, row.state_index, row.state_value);
  SetKeyCharacter(message, row.character);
}

constexpr KeyRow kPdfRows[] = {
    {61, 0x21, 8, 0x04, 0x0b}, {62, 0x36, 13, 0x02, 0x0c}, {63, 0x20, 4, 0x50, 0x01},
    {64, 0x35, 7, 0x04, 0x04}, {94, 0x5e, 12, 0x02, 0x20}, {96, 0x47, 11, 0x04, 0x0a},
};

constexpr KeyRow kOfficeRows[] = {
    {63, 0x61, 10, 0x01, 0x1c},
    {64, 0x63, 12, 0x14, 0x1d},
    {81, 0x01, -1, 0, 0x1b},
};

constexpr KeyRow kAnyAppRows[] = {
    {61, 0x57, 10, 0x01, 0x1e}, {62, 0x62, 12, 0x14, 0x1f}, {63, 0x36, 11, 0x04, 0x0c},
    {64, 0x21, 4, 0x40, 0x0b},  {91, 0x61, 10, 0x01, 0x1c}, {95, 0x63, 12, 0x14, 0x1d},
    {93, 0x5e, 12, 0x14, 0x20}, {69, 0x5b, -1, 0, 0x0a},    {70, 0x26, 4, 0x02, 0x09},
};

bool NoKeyChosen(const Message& message) {
  return message.GetInt32("key", 0) == 0;
}

}  // namespace

void IAltPlusMinus(ActionServices& services, int32_t n) {
  FollowMousFocus(services, false);
  bigtime_t t = system_time();
  Message message = MakeKeyMessage(t);
  message.AddInt32("key", 0x5d);
  if (n == 65 || n == 66) {
    bool minus = n == 65;
    message.AddInt32("key", minus ? 0x25 : 0x3a);
    SetKeyState(&message, 11, 0x04);
    message.AddInt32("raw_char", minus ? 0x2d : 0x2b);
    message.AddInt8("byte", minus ? 0x2d : 0x2b);
    message.AddString("bytes", minus ? "-" : "+");
  }
  services.desktop->SendMessage(MessageTarget::ActiveWindow(), message);
}

void IKeypress2App(ActionServices& services, int32_t n) {
  AppInfo active;
  services.desktop->ActiveApp(&active);
  const std::string& signature = active.signature;
  if (signature == kKoruSignature) {
    FollowMousFocus(services, false);
    if (n == 70 || n == 81) {
      Trace(" no keypress to myself (%ld)", static_cast<long>(n));
      return;
    }
  }
  bigtime_t t = system_time();
  Message message = MakeKeyMessage(t);
  message.AddInt32("key", 0);
  message.AddString("bytes", kTwoQuotes);

  if (signature == kTrackerSignature) {
    if (n == 70) {
      Trace(" TAB-TASTE ");
      message.ReplaceInt32("key", 0x68);
      message.ReplaceInt32("modifiers", 0xb0);
      SetKeyState(&message, 13, 0x80);
      message.RemoveName("bytes");
    } else if (n == 81) {
      Trace(" ** NEVER EJECT THE TRACKER !!! ");
      return;
    }
  }
  if (signature == kPdfViewerSignature && NoKeyChosen(message)) {
    Trace(" PDF-FOUND :)");
    if (const KeyRow* row = FindRow(kPdfRows, std::size(kPdfRows), n)) {
      ApplyRow(&message, *row);
      if (n == 96) {
        message.ReplaceInt32("modifiers", 0x432);
        message.ReplaceString("bytes", kTwoQuotes);
        Trace("WILL SEND: ");
        Trace("%s\n", message.Dump().c_str());
      }
    }
  }
  if (signature == kOfficeSignature && NoKeyChosen(message)) {
    Trace("\n >[inV%ld] goBe :)\n", static_cast<long>(n));
    Trace(" > '%s' \n", signature.c_str());
    if (const KeyRow* row = FindRow(kOfficeRows, std::size(kOfficeRows), n)) {
      ApplyRow(&message, *row);
      if (n == 81) {
        Trace(" > EXIT goBe");
        services.desktop->SendMessage(MessageTarget::ActiveWindow(), message);
        snooze(1000);
        return;
      }
    }
  }
  if (std::strcmp(signature.c_str(), "application/x") > 0 && NoKeyChosen(message)) {
    Trace("\n >[inV%ld] Any App :)\n", static_cast<long>(n));
    Trace(" > '%s' \n", signature.c_str());
    if (n == 81) {
      CloseFrontWindow(services);
    } else if (const KeyRow* row = FindRow(kAnyAppRows, std::size(kAnyAppRows), n)) {
      ApplyRow(&message, *row);
      if (n == 70) message.ReplaceString("bytes", "\t");
    }
  }
  if (NoKeyChosen(message)) return;
  services.desktop->SendMessage(MessageTarget::ActiveWindow(), message);
  snooze(500);
  message.ReplaceInt64("when", t + 500);
  message.what = kKeyUp;
  services.desktop->SendMessage(MessageTarget::ActiveWindow(), message);
}

}  // namespace koru
