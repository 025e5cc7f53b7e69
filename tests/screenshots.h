#pragma once
// The pictures of the documentation: the window tests write them when KORU_SCREENSHOT_DIR names
// a folder (docs/development.md, "Screenshots"); a screenshot test skips itself otherwise.
#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QWidget>
#include <cstdlib>

namespace koru {

inline const char* ScreenshotFolder() {
  return std::getenv("KORU_SCREENSHOT_DIR");
}

// Saves what `widget` shows, once the pending events have run, as <folder>/<name>.png.
inline void Screenshot(QWidget* widget, const char* name) {
  QApplication::processEvents();
  EXPECT_TRUE(widget->grab().save(QString(ScreenshotFolder()) + "/" + name + ".png")) << name;
}

}  // namespace koru
