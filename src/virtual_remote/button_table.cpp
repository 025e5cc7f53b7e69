#include "virtual_remote/button_table.h"

#include "settings/key_functions.h"
#include "settings/label_table.h"

namespace koru {

namespace {

std::array<ButtonDef, kBoardSlots> MakeDefaults() {
  std::array<ButtonDef, kBoardSlots> table{};
  const auto set = [&table](int slot, int32_t key_function, int x, int y) {
    table[slot] = ButtonDef{key_function, x, y};
  };
  // The numeric block, two rows of five.
  for (int n = 0; n < 10; ++n) set(n, 51 + n, 10 + 44 * (n % 5), n < 5 ? 68 : 96);
  // Arrow cross, volume pair, mute and power.
  set(10, 61, 54, 124);
  set(11, 62, 54, 180);
  set(12, 63, 10, 152);
  set(13, 64, 98, 152);
  set(14, 65, 152, 134);
  set(15, 66, 152, 162);
  set(16, 67, 60, 10);
  set(17, 68, 120, 10);
  set(18, 69, 10, 218);
  set(19, 70, 98, 218);
  set(20, 71, 54, 218);
  set(21, 72, 260, 250);
  set(22, 73, 260, 280);
  set(23, 74, 260, 310);
  set(24, 75, 54, 246);
  set(30, 81, 142, 218);
  set(31, 82, 310, 250);
  set(32, 83, 186, 218);
  set(33, 84, 230, 218);
  // Transport keys.
  set(40, 91, 10, 246);
  set(42, 93, 54, 274);
  set(43, 94, 98, 246);
  set(44, 95, 142, 246);
  set(45, 96, 10, 274);
  set(46, 97, 54, 274);
  // Group buttons.
  set(50, 113, 10, 312);
  set(51, 114, 78, 312);
  set(52, 115, 10, 340);
  set(53, 116, 78, 340);
  set(54, 120, 38, 378);
  // Spare buttons and the dual-function column in the parking area.
  for (int i = 0; i < 5; ++i) set(55 + i, 110, 260, 60 + 30 * i);
  const int32_t dual[] = {101, 102, 103, 104, 105, 106, 107, 108, 109};
  for (int i = 0; i < 9; ++i) set(60 + i, dual[i], 360, 60 + 30 * i);
  set(70, 111, 360, 330);
  set(71, 112, 360, 360);
  return table;
}

}  // namespace

const std::array<ButtonDef, kBoardSlots>& DefaultButtons() {
  static const std::array<ButtonDef, kBoardSlots> table = MakeDefaults();
  return table;
}

int ButtonWidth(int32_t key_function) {
  return key_function > kLastDualFunction ? 60 : 40;
}

bool IsDualFunction(int32_t key_function) {
  return (key_function >= kDualProgramUp && key_function <= kDualFavourite) ||
         key_function == kDualTab || key_function == kDualOk;
}

const char* ButtonLabel(int32_t key_function) {
  switch (key_function) {
    case kDualProgramUp:
      return "Prog+";
    case kDualProgramDown:
      return "Prog-";
    case kDualVolumeDown:
      return "Vol-";
    case kDualVolumeUp:
      return "Vol+";
    case kDualMute:
      return " m ";
    case kDualMenu:
      return "Menu";
    case kDualExit:
      return "Exit";
    case kDualEnter:
      return "Enter";
    case kDualFavourite:
      return "FAV";
    case kDualTab:
      return "Tab";
    case kDualOk:
      return "OK";
    default:
      return getLabel(key_function);
  }
}

int DualSlotFor(int32_t key_function) {
  switch (key_function) {
    case kKeyArrowUp:
    case kKeyProgramUp:
      return 60;
    case kKeyArrowDown:
    case kKeyProgramDown:
      return 61;
    case kKeyArrowLeft:
    case kKeyVolumeDown:
      return 62;
    case kKeyArrowRight:
    case kKeyVolumeUp:
      return 63;
    case kKeyMute:
      return 64;
    case kKeyMenu:
      return 65;
    case kKeyExit:
    case kKeyEject:
      return 66;
    case kKeyFavourite:
      return 68;
    case kKeyTab:
      return 70;
    case kKeyOk:
      return 71;
    default:
      return key_function - 51;
  }
}

}  // namespace koru
