#pragma once
// The buttons of the virtual remote: which key function each of the 72 board slots holds,
// its default place, its size and the dual-function buttons that can stand in for other keys.
#include <array>
#include <cstdint>

namespace koru {

inline constexpr int kBoardSlots = 72;
// Buttons whose right edge lies left of this x form the remote; right of it lies the parking area.
inline constexpr int kUsedAreaLimit = 235;
inline constexpr int kButtonHeight = 26;

struct ButtonDef {
  int32_t key_function = 0;  // 0: the slot stays empty
  int x = 0;
  int y = 0;
};

// Slot -> button at its default top-left corner.
const std::array<ButtonDef, kBoardSlots>& DefaultButtons();

// 60 pixels for the group buttons (key functions above 112), else 40.
int ButtonWidth(int32_t key_function);

// Key functions 101..109, 111 and 112.
bool IsDualFunction(int32_t key_function);

// The text a button shows: the dual-function buttons' own words, else the key label.
const char* ButtonLabel(int32_t key_function);

// Where a key function is lit in dual mode: the slot of its dual-function button, or the
// key's own slot (key function - 51) when it has none.
int DualSlotFor(int32_t key_function);

}  // namespace koru
