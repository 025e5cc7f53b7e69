#include "toolkit/view_utilities.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QSlider>
#include <fstream>

#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "routing/routing_messages.h"
#include "temp_dir.h"
#include "toolkit/elided_label.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/text_control.h"

constexpr uint32_t kNone = FourCC("none");

namespace {

struct Menus {
  QMenu top{"top"};
  QMenu* sub = nullptr;
  QAction* plain = nullptr;
  QAction* coded = nullptr;
  QAction* deep = nullptr;
  Menus() {
    plain = top.addAction("Plain");
    coded = AddMenuItem(&top, "Coded", Message(kTeachStart), Messenger());
    sub = top.addMenu("Sub");
    deep = sub->addAction("N1");
  }
};

}  // namespace

TEST(SetItemTo, FindsByCodeOrLabelAcrossSubMenusAndSetsMarkAndEnable) {
  Menus menus;
  TraceCapture trace;
  EXPECT_TRUE(SetItemTo(&menus.top, kTeachStart, "ignored", false, nullptr, true));
  EXPECT_TRUE(menus.coded->isChecked());
  EXPECT_FALSE(menus.coded->isEnabled());

  EXPECT_TRUE(SetItemTo(&menus.top, 0, "N1", true, nullptr, true));
  EXPECT_TRUE(menus.deep->isChecked());
  EXPECT_TRUE(SetItemTo(&menus.top, 0, "N1", true, nullptr, false));
  EXPECT_FALSE(menus.deep->isChecked());
  EXPECT_TRUE(trace.Contains(" A-geharkt\n"));
  EXPECT_TRUE(trace.Contains(" A-entharkt\n"));

  // A code that no item carries falls back to the label walk; the enabled state is kept.
  menus.plain->setEnabled(false);
  trace.Clear();
  EXPECT_TRUE(SetItemTo(&menus.top, kNone, "Plain", true, nullptr, true));
  EXPECT_TRUE(menus.plain->isChecked());
  EXPECT_FALSE(menus.plain->isEnabled());
  EXPECT_EQ(trace.Text(), " 'Plain' not found[2 enable]\n A-geharkt\n[<out]\n");
}

TEST(SetItemTo, RefusesMissingMenusForbiddenAndMissingLabels) {
  Menus menus;
  const struct {
    QMenu* menu;
    const char* label;
    const char* trace;
  } cases[] = {
      {nullptr, "N1", " [Menu==NULL :N1][out]\n"},
      {&menus.top, "-?-", " [forbidden Label :-?-][out]\n"},
      {&menus.top, nullptr, " return ! \n"},
      {&menus.top, "absent", " 'absent' not found[2 enable]\n 'absent' not found[2 enable]\n"},
  };
  for (const auto& c : cases) {
    TraceCapture trace;
    EXPECT_FALSE(SetItemTo(c.menu, 0, c.label, true, nullptr, true));
    EXPECT_EQ(trace.Text(), c.trace);
  }
}

TEST(ColorToChilds, ColoursOnlyDirectChildControls) {
  QWidget parent;
  QPalette palette = parent.palette();
  palette.setColor(QPalette::Window, QColor(10, 20, 30));
  parent.setPalette(palette);
  auto* check = new QCheckBox("c", &parent);
  auto* text = new TextControl("t", "x", &parent);
  auto* menu_field = new MenuField("m", new QMenu, &parent);
  auto* box = new QGroupBox(&parent);
  auto* inner = new QLabel("inner", box);
  auto* slider = new QSlider(&parent);
  // Every child starts with a colour of its own, so nothing passes by inheritance.
  for (QWidget* child :
       std::initializer_list<QWidget*>{check, text, menu_field, box, inner, slider}) {
    QPalette own = child->palette();
    own.setColor(QPalette::Window, Qt::red);
    child->setPalette(own);
  }
  const QColor before = Qt::red;
  ColorToChilds(&parent);
  for (QWidget* child : std::initializer_list<QWidget*>{check, text, menu_field, box}) {
    EXPECT_EQ(child->palette().color(QPalette::Window), QColor(10, 20, 30));
  }
  EXPECT_EQ(slider->palette().color(QPalette::Window), before);
  EXPECT_EQ(inner->palette().color(QPalette::Window), before);
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
  EXPECT_EQ(trace.Text(),
            "\xc2\xa0"
            "can't translate '" +
                text + "'");
  EXPECT_EQ(GetImage("/nonexistent.png"), nullptr);
}

TEST(MenuField, ShowsTheMarkedItemAndMessageItemsReachTheirTarget) {
  auto* menu = new QMenu("-remote-");
  MenuField field("Audio", menu);
  EXPECT_EQ(field.Button()->text(), "-remote-");
  QAction* a = menu->addAction("AIWA_A");
  QAction* b = menu->addAction("ITT237");
  a->setCheckable(true);
  b->setCheckable(true);
  b->trigger();
  EXPECT_EQ(field.Button()->text(), "ITT237");
  a->trigger();
  EXPECT_FALSE(b->isChecked());
  EXPECT_EQ(field.Button()->text(), "AIWA_A");
}

TEST(MenuField, ItemsReplacedLaterShowTheMarkedOneAtOnceAndAreMadeWhenNeeded) {
  auto* menu = new QMenu("-remote-");
  MenuField field("Audio", menu);
  menu->addAction("old")->setCheckable(true);
  int fills = 0;
  auto fill = [&](QMenu* target) {
    ++fills;
    for (const char* name : {"-unset-", "AIWA_A", "ITT237"})
      target->addAction(name)->setCheckable(true);
    target->actions()[2]->setChecked(true);
  };
  field.ReplaceItemsLater(fill, "ITT237");
  EXPECT_EQ(field.Button()->text(), "ITT237");
  EXPECT_EQ(field.MarkedText(), "ITT237");
  EXPECT_EQ(fills, 0);
  ASSERT_EQ(field.Menu()->actions().size(), 3) << "the old items are gone";
  EXPECT_EQ(fills, 1);
  field.Menu();
  EXPECT_EQ(fills, 1);

  // After the fill the button follows the first marked item, whichever changes.
  QAction* unset = menu->actions()[0];
  QAction* itt = menu->actions()[2];
  unset->setChecked(true);
  EXPECT_EQ(field.Button()->text(), "-unset-");
  unset->setChecked(false);
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
  EXPECT_TRUE(shown.contains(QChar(0x2026))) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("(this run)")) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith("replay:")) << shown.toStdString();
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
  EXPECT_EQ(shown->windowTitle(), "KORU_Alert");
  EXPECT_EQ(shown->text(), "..no port ");
  EXPECT_FALSE(shown->isModal());
  shown->close();
  SetAlertPresenter(nullptr);
}
