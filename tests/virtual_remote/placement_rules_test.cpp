#include "virtual_remote/placement_rules.h"

#include <gtest/gtest.h>

namespace koru {

TEST(PlacementRules, DroppedButtonsSnapDownToTheGridButNeverOffItsFirstLine) {
  const struct {
    QPoint drop, snapped;
  } cases[] = {
      {{4, 5}, {10, 2}},     {{123, 47}, {120, 45}},   {{54, 124}, {50, 120}},
      {{8, 8}, {10, 2}},     {{10, 15}, {10, 15}},     {{19, 29}, {10, 15}},
      {{-35, -70}, {10, 2}}, {{459, 839}, {450, 825}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SnapButtonPlace(c.drop), c.snapped) << c.drop.x() << "," << c.drop.y();
  }
}

TEST(PlacementRules, StoredPlacesOffTheBoardAreClampedOntoIt) {
  EXPECT_EQ(ClampOntoBoard({-50, -1}, 40), QPoint(0, 0));
  EXPECT_EQ(ClampOntoBoard({5000, 2001}, 40), QPoint(420, 814));
  EXPECT_EQ(ClampOntoBoard({5000, 300}, 60), QPoint(400, 300));
  EXPECT_EQ(ClampOntoBoard({420, 814}, 40), QPoint(420, 814));
}

}  // namespace koru
