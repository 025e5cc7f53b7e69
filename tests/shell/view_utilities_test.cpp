// The window toolkit: menu items, colours, images, menu fields, shortened texts, alerts, work
// after the first turn, deferred icons and window placement.
#include "toolkit/view_utilities.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSlider>
#include <QStyleFactory>
#include <QTimer>
#include <fstream>

#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "routing/routing_messages.h"
#include "table_cells.h"
#include "temp_dir.h"
#include "test_files.h"
#include "toolkit/after_first_turn.h"
#include "toolkit/deferred_icon.h"
#include "toolkit/deferred_icon_style.h"
#include "toolkit/elided_label.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/text_control.h"
#include "toolkit/window_placement.h"

namespace koru {

namespace {

TEST(SetItemTo, FindsByCodeOrLabelAcrossSubMenusAndSetsMarkAndEnableOrRefuses) {
  QMenu top("top");
  QAction* const items[] = {top.addAction("Plain"),
                            AddMenuItem(&top, "Coded", Message(kTeachStart), Messenger()),
                            top.addMenu("Sub")->addAction("N1")};
  items[0]->setEnabled(false);
  for (const auto& c : ReadTable("shell/data/set_item_to.tsv", 8)) {
    SCOPED_TRACE(c[0] + " " + c[1] + " " + c[2] + " " + c[3] + " " + c[4]);
    TraceCapture trace;
    EXPECT_EQ(SetItemTo(c[0] == "top" ? &top : nullptr, c[1].empty() ? 0 : FourCCOf(c[1]),
                        c[2] == "(null)" ? nullptr : c[2].c_str(), c[3] == "true", nullptr,
                        c[4] == "true"),
              c[5] == "true");
    EXPECT_EQ(trace.Text(), Unescaped(c[6]));
    std::string states;
    for (QAction* item : items)
      states += (states.empty() ? "" : ", ") + item->text().toStdString() +
                (item->isEnabled() ? "" : " (off)") + (item->isChecked() ? " *" : "");
    EXPECT_EQ(states, c[7]);
  }
}

TEST(ColorToChilds, ColoursOnlyDirectChildControls) {
  QWidget parent;
  QPalette palette = parent.palette();
  palette.setColor(QPalette::Window, QColor(10, 20, 30));
  parent.setPalette(palette);
  auto* box = new QGroupBox(&parent);
  QWidget* const children[] = {new QCheckBox("c", &parent),
                               new TextControl("t", "x", &parent),
                               new MenuField("m", new QMenu, &parent),
                               box,
                               new QSlider(&parent),
                               new QLabel("inner", box)};
  // Every child starts with a colour of its own, so nothing passes by inheritance.
  for (QWidget* child : children) {
    QPalette own = child->palette();
    own.setColor(QPalette::Window, Qt::red);
    child->setPalette(own);
  }
  ColorToChilds(&parent);
  std::string colours;
  for (QWidget* child : children)
    colours += child->palette().color(QPalette::Window).name().toStdString() + " ";
  EXPECT_EQ(colours, "#0a141e #0a141e #0a141e #0a141e #ff0000 #ff0000 ");
  TraceCapture trace;
  ColorToChilds(nullptr);
  AddToolTip(nullptr, "x");
  EXPECT_EQ(trace.Text(), "View=NULLAddTT: bad view");
}

TEST(GetImage, ReadsImagesAndRefusesOtherFiles) {
  TempDir dir;
  const std::string png = (dir.Path() / "icon.png").string();
  QImage(4, 3, QImage::Format_RGB32).save(QString::fromStdString(png));
  auto image = GetImage(png.c_str());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->size(), QSize(4, 3));

  const std::string text = (dir.Path() / "notes.txt").string();
  std::ofstream(text) << "not a picture";
  TraceCapture trace;
  EXPECT_EQ(GetImage(text.c_str()), nullptr);
  EXPECT_EQ(trace.Text(), "\xc2\xa0" + ("can't translate '" + text + "'"));
  EXPECT_EQ(GetImage("/nonexistent.png"), nullptr);
}

TEST(MenuField, ItemsReplacedLaterShowTheMarkedOneAtOnceAndAreMadeWhenNeeded) {
  auto* menu = new QMenu("-remote-");
  MenuField field("Audio", menu);
  menu->addAction("old")->setCheckable(true);
  int fills = 0;
  field.ReplaceItemsLater(
      [&](QMenu* target) {
        ++fills;
        for (const char* name : {"-unset-", "AIWA_A", "ITT237"})
          target->addAction(name)->setCheckable(true);
        target->actions()[2]->setChecked(true);
      },
      "ITT237");
  EXPECT_EQ(field.Button()->text(), "ITT237");
  EXPECT_EQ(field.MarkedText(), "ITT237");
  EXPECT_EQ(fills, 0);
  ASSERT_EQ(field.Menu()->actions().size(), 3) << "the old items are gone";
  field.Menu();
  EXPECT_EQ(fills, 1);

  // After the fill the button follows the marked item, one at a time, whichever changes.
  QAction* unset = menu->actions()[0];
  QAction* itt = menu->actions()[2];
  unset->trigger();
  EXPECT_EQ(field.Button()->text(), "-unset-");
  EXPECT_FALSE(itt->isChecked());
  itt->trigger();
  EXPECT_EQ(field.Button()->text(), "ITT237");
  itt->setText("ITT-237");
  EXPECT_EQ(field.Button()->text(), "ITT-237");
  delete itt;
  EXPECT_EQ(field.Button()->text(), "-remote-");
}

TEST(LongTexts, AreShortenedInTheMiddleAndWholeInTheToolTip) {
  const QString port =
      "replay:/home/user/recordings/living-room/remote-2026-12-06.mode2 (this run)";
  auto* menu = new QMenu("IR-Sensor");
  MenuField field("IR-Sensor:", menu);
  field.resize(320, 24);
  field.show();  // laid out
  QAction* item = menu->addAction(port);
  item->setCheckable(true);
  item->trigger();
  const QString shown = field.Button()->text();
  EXPECT_TRUE(QRegularExpression("^replay:.*\u2026.*\\(this run\\)$").match(shown).hasMatch())
      << shown.toStdString();
  EXPECT_EQ(field.Button()->toolTip(), port);
  field.resize(2000, 24);  // room enough: whole, and no tool tip
  EXPECT_EQ(field.Button()->text(), port);
  EXPECT_TRUE(field.Button()->toolTip().isEmpty());

  ElidedLabel label("select for: 'NEC addr 0x20 cmd 0x0C' ");
  label.resize(80, 22);
  EXPECT_TRUE(label.Elided());
  EXPECT_EQ(label.text(), "select for: 'NEC addr 0x20 cmd 0x0C' ") << "the text itself stays whole";
  label.resize(2000, 22);
  EXPECT_FALSE(label.Elided());
}

TEST(Alert, ShowsANonBlockingBoxTitledKoruAlert) {
  InstallAlertPresenter();
  AnyAlert("..no port ", false);
  QApplication::processEvents();
  QMessageBox* shown = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) shown = box;
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->windowTitle() + " " + shown->text(), "KORU_Alert ..no port ");
  EXPECT_FALSE(shown->isModal());
  shown->close();
  SetAlertPresenter(nullptr);
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
  for (int turn = 0; turn < 2; ++turn) {  // turns of a loop that waits for something (a timer)
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
    QApplication::processEvents();
    EXPECT_EQ(ran, 1) << turn;
  }
  EXPECT_EQ(orphan, 0);
}

TEST(DeferredIcon, IsMadeWhenFirstDrawnAndOnceForEveryCopyAndItsStyleDrawsAsItsBaseStyle) {
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

  DeferredIconStyle style("Fusion");
  std::unique_ptr<QStyle> base(QStyleFactory::create("Fusion"));
  for (const auto which : {QStyle::SP_ToolBarHorizontalExtensionButton,
                           QStyle::SP_ToolBarVerticalExtensionButton, QStyle::SP_DialogOkButton}) {
    const QImage direct = base->standardIcon(which).pixmap(16, 16).toImage();
    EXPECT_FALSE(direct.isNull()) << which;
    EXPECT_EQ(style.standardIcon(which).pixmap(16, 16).toImage(), direct) << which;
  }
}

TEST(WindowPlacement, FramesAreMovedFullyOntoTheScreenThatHoldsMostOfThem) {
  const auto rect = [](const std::string& cell) {
    const std::vector<int> at = CellNumbers<int>(cell);
    return QRect(at[0], at[1], at[2], at[3]);
  };
  for (const auto& row : ReadTable("shell/data/window_frames.tsv", 3)) {
    QList<QRect> screens;
    for (size_t column = 2; column < row.size(); ++column) screens.push_back(rect(row[column]));
    EXPECT_EQ(FitOntoScreens(rect(row[0]), screens), rect(row[1])) << row[0];
  }
}

}  // namespace

}  // namespace koru
