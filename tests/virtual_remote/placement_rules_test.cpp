#include "virtual_remote/placement_rules.h"

#include <gtest/gtest.h>

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

TEST(PlacementRules, AWindowStoredForALargerScreenComesBackOntoThisOne) {
  const QRect screen(0, 0, 1024, 768);
  EXPECT_EQ(KeepOnScreen(QRect(2500, 1400, 235, 413), screen), QRect(789, 355, 235, 413));
  EXPECT_EQ(KeepOnScreen(QRect(-300, -20, 235, 413), screen), QRect(0, 0, 235, 413));
  EXPECT_EQ(KeepOnScreen(QRect(40, 40, 235, 413), screen), QRect(40, 40, 235, 413));
  // Taller than the screen: the title bar stays reachable.
  EXPECT_EQ(KeepOnScreen(QRect(40, 40, 460, 840), screen), QRect(40, 0, 460, 840));
  // A second screen to the right counts from its own corner.
  EXPECT_EQ(KeepOnScreen(QRect(3000, 40, 235, 413), QRect(1024, 0, 1280, 1024)),
            QRect(2069, 40, 235, 413));
}

TEST(PlacementRules, OnlyMovesBeyondTenPixelsAreWorthStoring) {
  const QPoint stored(100, 200);
  EXPECT_FALSE(MovedBeyondDeadZone({108, 200}, stored));
  EXPECT_FALSE(MovedBeyondDeadZone({90, 210}, stored));  // edges belong to the box
  EXPECT_TRUE(MovedBeyondDeadZone({111, 200}, stored));
  EXPECT_TRUE(MovedBeyondDeadZone({100, 189}, stored));
}
