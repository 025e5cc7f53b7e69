#include "toolkit/window_placement.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

TEST(WindowPlacement, FramesAreMovedFullyOntoTheScreenThatHoldsMostOfThem) {
  const QList<QRect> one{QRect(0, 0, 800, 600)};
  const QList<QRect> two{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
  struct Case {
    QRect frame;
    QList<QRect> screens;
    QRect expected;
  };
  const Case cases[] = {
      {QRect(100, 100, 300, 200), one, QRect(100, 100, 300, 200)},  // already on screen
      // Stored on a 1920 x 1200 screen: only a corner of the title bar would show.
      {QRect(730, 580, 700, 240), one, QRect(100, 360, 700, 240)},
      {QRect(-500, -40, 300, 200), one, QRect(0, 0, 300, 200)},
      {QRect(5000, 5000, 300, 200), one, QRect(500, 400, 300, 200)},  // on no screen
      {QRect(0, 0, 1000, 900), one, QRect(0, 0, 800, 600)},           // larger than the screen
      // Mostly on the right-hand screen: pulled fully onto it.
      {QRect(1800, 900, 600, 300), two, QRect(1920, 724, 600, 300)},
      {QRect(1900, 100, 700, 200), two, QRect(1920, 100, 700, 200)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitOntoScreens(c.frame, c.screens), c.expected)
        << c.frame.x() << "," << c.frame.y() << " " << c.frame.width() << "x" << c.frame.height();
  }
}

TEST(WindowPlacement, AWindowStoredOffTheScreenIsBroughtBack) {
  QWidget window;
  window.setGeometry(4000, 3000, 200, 100);
  KeepOnScreen(&window);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(window.frameGeometry()))
      << window.frameGeometry().x() << "," << window.frameGeometry().y();
}

}  // namespace
