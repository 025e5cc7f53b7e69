// The main window's sizes, colour schemes, layouts, About box, media list items and keys.
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMoveEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>

#include "media_list/media_list_messages.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "routing/routing_messages.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/main_window.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/view_utilities.h"
#include "toolkit/window_placement.h"
#include "virtual_remote/virtual_remote_messages.h"

bool MainWindow::MiniViewShowing() const {
  return fMiniView != nullptr && !fMiniView->isHidden();
}

void MainWindow::ChangeMiniview() {
  const int compact_width = fMiniView->geometry().right() + 1 + 5;
  const int compact_height = fMiniView->geometry().bottom() + 1 + 5 + MenuBarHeight();
  if (MiniViewShowing()) {
    EnableMenuCommands(true, {kTeachStart, kShowSettings});
    // Taken before the size limits change: widening them resizes the window at once.
    const Rect stored = fSettings != nullptr ? fSettings->prefs_window_rect : Rect{0, 0, 700, 200};
    fMiniView->hide();
    fScrollView->show();
    SetSizeLimits(698, 700, 200, 240);  // as at start-up: the right column stays whole
    resize(static_cast<int>(stored.Width()), static_cast<int>(stored.Height()));
    fSplitBox->show();
    fResultBox->show();
  } else {
    EnableMenuCommands(false, {kTeachStart, kShowSettings});
    fScrollView->hide();
    fMiniView->show();
    SetSizeLimits(compact_width, compact_width, compact_height, compact_height);
    resize(compact_width, compact_height);
    fSplitBox->hide();
    fResultBox->hide();
  }
  fPoseView->update();
}

void MainWindow::EnableMenuCommands(bool enable, std::initializer_list<uint32_t> codes) {
  for (QMenu* menu : {fIconMenu, fFileMenu, fViewMenu}) {
    for (uint32_t code : codes) {
      if (QAction* item = FindMenuItem(menu, code)) item->setEnabled(enable);
    }
  }
}

void MainWindow::UseColoredDesign() {
  const QColor panel = palette().color(QPalette::Window);
  if (!fColoredDesign) {
    for (QWidget* box : std::initializer_list<QWidget*>{fResultBox, fSplitBox, fTeachBox}) {
      SetViewColor(box, panel);
      ColorToChilds(box);
    }
    SetViewColor(fGloInfo, panel);
    SetViewColor(fTextView, palette().color(QPalette::Base));
  } else {
    SetViewColor(fResultBox, QColor(250, 250, 145));
    SetViewColor(fIrType, QColor(250, 230, 145));
    SetViewColor(fIrSender, QColor(250, 240, 145));
    SetViewColor(fIrSenKey, QColor(250, 245, 145));
    SetViewColor(fIrPrgNr, QColor(250, 245, 145));
    SetViewColor(fSplitBox, QColor(250, 250, 145));
    SetViewColor(fGloInfo, QColor(250, 200, 200));
    SetViewColor(fTeachBox, QColor(200, 200, 250));
    SetViewColor(fTextView, QColor(237, 237, 242));
  }
  for (QLabel* label : {fMiniType, fMiniRem, fMiniKey}) {
    QPalette mini = label->palette();
    mini.setColor(QPalette::Window, panel);
    // The tinted second colour only smooths the text's edges; the text itself stays dark.
    mini.setColor(QPalette::Base, TintColor(panel, 1.295));
    label->setPalette(mini);
    label->setAutoFillBackground(true);
  }
  fPoseView->update();
}

void MainWindow::UseAltDesign(int variant) {
  // Two columns of group menus under the "Permit:" switch; the other variant is denser.
  const int height = variant == 1 ? 20 : 16;
  QFont font = this->font();
  if (variant != 1) font.setPointSize(9);
  fSplitBox->setFont(font);
  const int column_width = 136;
  for (int group = 0; group < 5; ++group) {
    MenuField* field = fGroupFields[group];
    field->setFont(font);
    const int slot = group + 1;  // the first slot holds "Permit:"
    const int x = 6 + (slot % 2) * (column_width + 4);
    const int y = 16 + (slot / 2) * (height + 4);
    field->setGeometry(x, y, column_width, height);
  }
  fReSplit->setGeometry(6, 16, column_width, height);
}

void MainWindow::AboutRequested() {
  AnyAlert(std::string("KORU Version: ") + "Beta", false);
}

void MainWindow::ShowMediaListState(const Message* message) {
  const bool closed = message == nullptr || message->what == kMediaListNotOpen;
  if (QAction* open = FindMenuItem(fFileMenu, kOpenMediaList)) open->setEnabled(closed);
  if (QAction* close = FindMenuItem(fFileMenu, kCloseMediaList)) close->setEnabled(!closed);
  fMediaListOpen = !closed;
  SetViewColor(fGloInfo, closed ? palette().color(QPalette::Window) : QColor(250, 200, 200));
  QFont font = fGloInfo->font();
  font.setBold(!closed);
  fGloInfo->setFont(font);
}

void MainWindow::AddOptionalByWinKey(const Message* message) {
  const int32_t modifiers = message->GetInt32("modifiers", 0);
  const int32_t key = message->GetInt32("key", 0);
  constexpr int32_t kControlKey = 0x04, kLeftOptionKey = 0x4000;
  if (modifiers & (kLeftOptionKey | kControlKey)) Trace(".. B_LEFT_OPTION_KEY || B_CONTROL_KEY\n");
  if (key == 102 || key == 103) {
    AppMessenger().SendMessage(kOpenVirtualRemote);
    return;
  }
  Trace("use Left-Win-Key ");
  Trace("KState: %ld KKey %ld \n", static_cast<long>(modifiers), static_cast<long>(key));
}

void MainWindow::StoreFrame() {
  // Only the full window's frame is kept; the compact view never overwrites it.
  if (fSettings == nullptr || fMiniView == nullptr || MiniViewShowing()) return;
  fSettings->prefs_window_rect = FrameToStore(this, fSettings->prefs_window_rect);
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  StoreFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // A size the user sets is the size the full window comes back to after the compact view.
  StoreFrame();
  if (fSettView != nullptr) fSettView->resize(centralWidget() ? centralWidget()->size() : size());
  if (fPoseView != nullptr) fPoseView->update();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  Message key = KeyDownMessage(*event);
  AddOptionalByWinKey(&key);
  QMainWindow::keyPressEvent(event);
}
