#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QStyleFactory>
#include <QTimer>
#include <memory>

#include "toolkit/after_first_turn.h"
#include "toolkit/deferred_icon.h"
#include "toolkit/deferred_icon_style.h"

namespace {

// One turn of an event loop that waits for something (a timer).
void TurnTheLoop() {
  QEventLoop loop;
  QTimer::singleShot(10, &loop, &QEventLoop::quit);
  loop.exec();
  QApplication::processEvents();
}

TEST(AfterFirstTurn, RunsOnceAfterTheLoopHasWaitedAndNeverForAContextThatWent) {
  int ran = 0, orphan = 0;
  QObject context;
  AfterFirstTurn(&context, [&] { ++ran; });
  auto gone = std::make_unique<QObject>();
  AfterFirstTurn(gone.get(), [&] { ++orphan; });
  QApplication::processEvents();  // a turn that does not wait
  EXPECT_EQ(ran, 0);
  gone.reset();
  TurnTheLoop();
  EXPECT_EQ(ran, 1);
  TurnTheLoop();
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(orphan, 0);
}

TEST(DeferredIcon, IsMadeWhenFirstDrawnAndOnceForEveryCopy) {
  int made = 0;
  const QIcon icon = DeferredIcon([&] {
    ++made;
    QPixmap red(16, 16);
    red.fill(Qt::red);
    return QIcon(red);
  });
  const QIcon copy = icon;  // what a widget keeps
  EXPECT_FALSE(icon.isNull());
  EXPECT_EQ(made, 0);
  EXPECT_EQ(copy.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
  EXPECT_EQ(icon.actualSize(QSize(16, 16)), QSize(16, 16));
  EXPECT_EQ(made, 1);
}

TEST(DeferredIconStyle, DrawsTheMenuBarArrowAsItsBaseStyleDoes) {
  DeferredIconStyle style("Fusion");
  std::unique_ptr<QStyle> base(QStyleFactory::create("Fusion"));
  for (const auto which : {QStyle::SP_ToolBarHorizontalExtensionButton,
                           QStyle::SP_ToolBarVerticalExtensionButton, QStyle::SP_DialogOkButton}) {
    const QImage deferred = style.standardIcon(which).pixmap(16, 16).toImage();
    const QImage direct = base->standardIcon(which).pixmap(16, 16).toImage();
    EXPECT_FALSE(direct.isNull()) << which;
    EXPECT_EQ(deferred, direct) << which;
  }
}

}  // namespace
