#pragma once
// A rectangle of four floats, left, top, right, bottom (the settings' 'RECT' values).

namespace koru {

struct Rect {
  float left = 0, top = 0, right = 0, bottom = 0;
  float Width() const { return right - left; }
  float Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

}  // namespace koru
