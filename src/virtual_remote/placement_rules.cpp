#include "virtual_remote/placement_rules.h"

#include <algorithm>

#include "virtual_remote/button_table.h"

namespace koru {

QPoint SnapButtonPlace(QPoint top_left) {
  // Every place left of or above the first grid line ends up on it, so no rounding direction
  // matters for negative values.
  int x = top_left.x() / 10 * 10;
  int y = top_left.y() / 15 * 15;
  if (x < 8) x = 10;
  if (y < 8) y = 2;
  return {x, y};
}

QPoint ClampOntoBoard(QPoint top_left, int width) {
  return {std::clamp(top_left.x(), 0, kBoardWidth - width),
          std::clamp(top_left.y(), 0, kBoardHeight - kButtonHeight)};
}

bool MovedBeyondDeadZone(QPoint where, QPoint stored) {
  return where.x() < stored.x() - 10 || where.x() > stored.x() + 10 ||
         where.y() < stored.y() - 10 || where.y() > stored.y() + 10;
}

}  // namespace koru
