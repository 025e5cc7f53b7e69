// main() for tests of windows: one offscreen QApplication whose thread is the GUI thread, with
// the Qt looper as the default looper.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "platform/messaging/qt_looper.h"

using namespace koru;

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QtLooper looper;
  SetDefaultLooper(&looper);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  SetDefaultLooper(nullptr);
  return result;
}
