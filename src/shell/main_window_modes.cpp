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

namespace koru {

bool MainWindow::MiniViewShowing() const {
  return mini_view_ != nullptr && !mini_view_->isHidden();
}

void MainWindow::ChangeMiniview() {
  const int compact_width = mini_view_->geometry().right() + 1 + 5;
  const int compact_height = mini_view_->geometry().bottom() + 1 + 5 + MenuBarHeight();
  if (MiniViewShowing()) {
    EnableMenuCommands(true, {kTeachStart, kShowSettings});
    // Taken before the size limits change: widening them resizes the window at once.
    const Rect stored = settings_ != nullptr ? settings_->prefs_window_rect : Rect{0, 0, 700, 200};
    mini_view_->hide();
    scroll_view_->show();
    SetSizeLimits(698, 700, 200, 240);  // as at start-up: the right column stays whole
    resize(static_cast<int>(stored.Width()), static_cast<int>(stored.Height()));
    split_box_->show();
    result_box_->show();
  } else {
    EnableMenuCommands(false, {kTeachStart, kShowSettings});
    scroll_view_->hide();
    mini_view_->show();
    SetSizeLimits(compact_width, compact_width, compact_height, compact_height);
    resize(compact_width, compact_height);
    split_box_->hide();
    result_box_->hide();
  }
  pose_view_->update();
}

void MainWindow::EnableMenuCommands(bool enable, std::initializer_list<uint32_t> codes) {
  for (QMenu* menu : {icon_menu_, file_menu_, view_menu_}) {
    for (uint32_t code : codes) {
      if (QAction* item = FindMenuItem(menu, code)) item->setEnabled(enable);
    }
  }
}

void MainWindow::UseColoredDesign() {
  const QColor panel = palette().color(QPalette::Window);
  if (!colored_design_) {
    for (QWidget* box : std::initializer_list<QWidget*>{result_box_, split_box_, teach_box_}) {
      SetViewColor(box, panel);
      ColorToChilds(box);
    }
    SetViewColor(glo_info_, panel);
    SetViewColor(text_view_, palette().color(QPalette::Base));
  } else {
    SetViewColor(result_box_, QColor(250, 250, 145));
    SetViewColor(ir_type_, QColor(250, 230, 145));
    SetViewColor(ir_sender_, QColor(250, 240, 145));
    SetViewColor(ir_sen_key_, QColor(250, 245, 145));
    SetViewColor(ir_prg_nr_, QColor(250, 245, 145));
    SetViewColor(split_box_, QColor(250, 250, 145));
    SetViewColor(glo_info_, QColor(250, 200, 200));
    SetViewColor(teach_box_, QColor(200, 200, 250));
    SetViewColor(text_view_, QColor(237, 237, 242));
  }
  for (QLabel* label : {mini_type_, mini_rem_, mini_key_}) {
    QPalette mini = label->palette();
    mini.setColor(QPalette::Window, panel);
    // The tinted second colour only smooths the text's edges; the text itself stays dark.
    mini.setColor(QPalette::Base, TintColor(panel, 1.295));
    label->setPalette(mini);
    label->setAutoFillBackground(true);
  }
  pose_view_->update();
}

void MainWindow::UseAltDesign(int variant) {
  // Two columns of group menus under the "Permit:" switch; the other variant is denser.
  const int height = variant == 1 ? 20 : 16;
  QFont font = this->font();
  if (variant != 1) font.setPointSize(9);
  split_box_->setFont(font);
  const int column_width = 136;
  for (int group = 0; group < 5; ++group) {
    MenuField* field = group_fields_[group];
    field->setFont(font);
    const int slot = group + 1;  // the first slot holds "Permit:"
    const int x = 6 + (slot % 2) * (column_width + 4);
    const int y = 16 + (slot / 2) * (height + 4);
    field->setGeometry(x, y, column_width, height);
  }
  re_split_->setGeometry(6, 16, column_width, height);
}

void MainWindow::AboutRequested() {
  AnyAlert(std::string("KORU Version: ") + "Beta", false);
}

void MainWindow::ShowMediaListState(const Message* message) {
  const bool closed = message == nullptr || message->what == kMediaListNotOpen;
  if (QAction* open = FindMenuItem(file_menu_, kOpenMediaList)) open->setEnabled(closed);
  if (QAction* close = FindMenuItem(file_menu_, kCloseMediaList)) close->setEnabled(!closed);
  media_list_open_ = !closed;
  SetViewColor(glo_info_, closed ? palette().color(QPalette::Window) : QColor(250, 200, 200));
  QFont font = glo_info_->font();
  font.setBold(!closed);
  glo_info_->setFont(font);
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
  if (settings_ == nullptr || mini_view_ == nullptr || MiniViewShowing()) return;
  settings_->prefs_window_rect = FrameToStore(this, settings_->prefs_window_rect);
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  StoreFrame();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  // A size the user sets is the size the full window comes back to after the compact view.
  StoreFrame();
  if (sett_view_ != nullptr) sett_view_->resize(centralWidget() ? centralWidget()->size() : size());
  if (pose_view_ != nullptr) pose_view_->update();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  Message key = KeyDownMessage(*event);
  AddOptionalByWinKey(&key);
  QMainWindow::keyPressEvent(event);
}

}  // namespace koru
