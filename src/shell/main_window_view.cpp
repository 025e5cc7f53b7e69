// The main window as the key router's view: the router decides, these put it on the widgets.
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>

#include "actions/actions.h"
#include "actions/dry_run_services.h"
#include "media_list/media_list_messages.h"
#include "platform/desktop/window_workspaces.h"
#include "platform/messaging/trace.h"
#include "presets/preset_messages.h"
#include "receiver/receiver_flags.h"
#include "receiver/view/pulse_view.h"
#include "remotes/key_menu.h"
#include "routing/routing_messages.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/main_window.h"
#include "shell/window_indicators.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/text_control.h"
#include "toolkit/view_utilities.h"

namespace koru {

namespace {

const QColor kSplitRed(250, 200, 200);   // normal group colour with pimped colours
const QColor kSplitBlue(180, 200, 250);  // highlight with pimped colours

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

void SetLogBackground(QTextEdit* log, const QColor& colour) {
  QPalette palette = log->palette();
  palette.setColor(QPalette::Base, colour);
  log->setPalette(palette);
}

}  // namespace

void MainWindow::BuildActions() {
  services_ = setup_.services ? setup_.services() : CreateDesktopServices();
  if (setup_.dry_run) services_ = DryRunServices(std::move(services_));
  ActionServices services;
  services.desktop = services_.desktop.get();
  services.players = services_.players.get();
  services.mixer = services_.mixer.get();
  services.launcher = services_.launcher.get();
  indicators_ = std::make_unique<WindowIndicators>(mute_button_, glo_info_);
  actions_ = std::make_unique<ActionThread>(services);
}

void MainWindow::ShowDesktopNotices() {
  // Without a desktop at all, the receiver's own messages say what KORU can do.
  DesktopReport report = DesktopState();
  if (report.session.empty() || report.session == "none") return;
  std::vector<std::string> notices = report.Notices();
  for (auto line = notices.rbegin(); line != notices.rend(); ++line) InsertLog(*line + "\n");
}

DesktopReport MainWindow::DesktopState() const {
  return services_.desktop ? services_.desktop->Report() : DesktopReport{};
}

void MainWindow::RunAction(ActionThread::Action action) {
  if (!actions_) return;
  actions_->Post(
      [action = std::move(action), after = setup_.after_action](ActionServices& services) {
        action(services);
        if (after) after();
      });
}

void MainWindow::WaitForActions() {
  if (actions_) actions_->WaitIdle();
}

bool MainWindow::ActionsIdle() {
  if (!actions_) return true;
  actions_->WaitIdle();
  return true;
}

void MainWindow::ShutdownActions() {
  if (actions_) {
    // Focus-follows-mouse goes off with the window, after whatever is still queued.
    RunAction([](ActionServices& services) { FollowMousFocus(services, false); });
    actions_->WaitIdle();
    actions_.reset();
  }
  // The mixer's watch reports to the "MUTED" button until the mixer goes.
  services_.mixer.reset();
}

void MainWindow::SetText(RoutingText which, const std::string& text) {
  QWidget* target = nullptr;
  switch (which) {
    case RoutingText::kCodec:
      target = ir_type_;
      break;
    case RoutingText::kRemote:
      target = ir_sender_;
      break;
    case RoutingText::kKey:
      target = ir_sen_key_;
      break;
    case RoutingText::kKeyValue:
      target = ir_prg_nr_;
      break;
    case RoutingText::kMiniRemote:
      target = mini_rem_;
      break;
    case RoutingText::kMiniKey:
      target = mini_key_;
      break;
    case RoutingText::kStatusLine:
      target = glo_info_;
      break;
    case RoutingText::kSplitTitle:
      if (split_box_ != nullptr) split_box_->setTitle(Text(text));
      return;
  }
  if (auto* label = qobject_cast<QLabel*>(target)) label->setText(Text(text));
}

void MainWindow::SetMiniGroup(const std::string& text, TextAlign align) {
  mini_type_->setText(Text(text));
  mini_type_->setAlignment(align == TextAlign::kLeft    ? Qt::AlignLeft
                           : align == TextAlign::kRight ? Qt::AlignRight
                                                        : Qt::AlignHCenter);
}

void MainWindow::ShowStatusLine() {
  glo_info_->show();
}

void MainWindow::InsertLog(const std::string& line) {
  QTextCursor cursor(text_view_->document());
  cursor.movePosition(QTextCursor::Start);
  cursor.insertText(Text(line));
}

void MainWindow::SetLogText(const std::string& text) {
  text_view_->setPlainText(Text(text));
}

std::string MainWindow::LogText() const {
  return text_view_->toPlainText().toStdString();
}

void MainWindow::Beep() {
  // The desktop's sound for a recognised key ("koru-receiver" where the theme has one), else
  // the bell; it never holds up the window.
  sound_.Play();
}

void MainWindow::ShowHysteresis(bool on) {
  hysteresis_box_->setChecked(on);
}

void MainWindow::ShowContinuous(bool on) {
  continue_->setChecked(on);
}

bool MainWindow::SplitSwitch() const {
  return re_split_->isChecked();
}

void MainWindow::SetSplitSwitch(bool on) {
  re_split_->setChecked(on);
}

void MainWindow::ShowSplitting(bool on) {
  const QColor colour = on && colored_design_ ? kSplitRed : palette().color(QPalette::Window);
  for (MenuField* field : group_fields_) {
    SetViewColor(field, colour);
    field->setEnabled(on);
  }
  SetViewColor(re_split_, colour);
  SetViewColor(split_box_, colour);
  ColorToChilds(split_box_);
  split_box_->update();
}

void MainWindow::ShowGroupHighlight(const std::array<bool, 5>& lit) {
  const QColor normal = colored_design_ ? kSplitRed : palette().color(QPalette::Window);
  const QColor highlight = colored_design_ ? kSplitBlue : palette().color(QPalette::Highlight);
  for (int group = 0; group < 5; ++group) {
    SetViewColor(group_fields_[group], lit[group] ? highlight : normal);
  }
}

MenuField* MainWindow::RemoteMenuField(int32_t kind) const {
  if (kind == 0) return remote_field_;
  if (kind >= 10 && kind < 15) return group_fields_[kind - 10];
  return nullptr;
}

void MainWindow::RebuildRemoteMenu(const RemoteMenu& contents) {
  MenuField* field = RemoteMenuField(contents.kind);
  if (field == nullptr) return;
  // The button shows the marked remote at once; the items are made when the menu is needed.
  QString marked = field->Title();
  if (contents.checkable) {
    marked = Text(contents.first);
    for (const auto& [position, name] : contents.remotes) {
      if (position == contents.marked) marked = Text(name);
    }
  }
  const Messenger target = GetMessenger();
  field->ReplaceItemsLater(
      [contents, target](QMenu* menu) {
        // Dozens of remotes: one column that scrolls, not columns side by side.
        menu->setStyleSheet("QMenu { menu-scrollable: 1; }");
        auto item_message = [&](int32_t position) {
          Message message(contents.what);
          message.AddInt32("vaRemote", position);
          message.AddBool(kFromMenuField, true);
          return message;
        };
        MessageAction* first = AddMenuItem(menu, Text(contents.first), item_message(-1), target);
        first->setCheckable(contents.checkable);
        menu->addSeparator();
        for (const auto& [position, name] : contents.remotes) {
          MessageAction* item = AddMenuItem(menu, Text(name), item_message(position), target);
          item->setCheckable(contents.checkable);
          if (contents.checkable && position == contents.marked) item->setChecked(true);
        }
        if (contents.checkable && contents.marked < 0) first->setChecked(true);
      },
      marked);
}

void MainWindow::DropMenuFocus(int32_t kind) {
  if (MenuField* field = RemoteMenuField(kind)) field->clearFocus();
}

void MainWindow::MarkShowTab(bool on) {
  SetItemTo(view_menu_, 0, getLabel(kLabelShowTab), true, nullptr, on);
}

void MainWindow::ShowTeachBox(bool teaching) {
  if (teaching) {
    result_box_->hide();
    split_box_->hide();
    if (teach_box_->isHidden()) {
      teach_key_field_->hide();
      SetLogBackground(text_view_, QColor(250, 250, 250));
      teach_box_->show();
    }
    return;
  }
  teach_box_->hide();
  SetLogBackground(text_view_, palette().color(QPalette::Base));
  result_box_->show();
  split_box_->show();
}

void MainWindow::LockForTeaching(bool locked) {
  teach_button_->setEnabled(!locked);
  EnableMenuCommands(!locked, {kTeachStart, kReloadPresets, kEditPresets, kShowSettings,
                               kToggleMiniView, kImportLircRemote, kImportKernelKeymap});
}

std::string MainWindow::TeachFieldText(TeachField field) const {
  return (field == TeachField::kName ? teach_name_ : teach_head_)->Text().toStdString();
}

void MainWindow::SetTeachFieldText(TeachField field, const std::string& text) {
  (field == TeachField::kName ? teach_name_ : teach_head_)->SetText(Text(text));
}

void MainWindow::EnableTeachField(TeachField field, bool enabled) {
  (field == TeachField::kName ? teach_name_ : teach_head_)->Edit()->setEnabled(enabled);
}

void MainWindow::StyleTeachField(TeachField which, TeachFieldLook look) {
  const bool fresh = look == TeachFieldLook::kNew;
  QLineEdit* edit = (which == TeachField::kName ? teach_name_ : teach_head_)->Edit();
  // A fresh field keeps the disabled look of the style once its text is taken, so the user
  // sees that it was; an existing remote's fields are shown in their own colours throughout.
  QPalette palette = QApplication::palette(edit);
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    if (fresh && group == QPalette::Disabled) continue;
    palette.setColor(group, QPalette::Base, fresh ? QColor(Qt::white) : QColor(105, 105, 105));
    palette.setColor(group, QPalette::Text, fresh ? QColor(25, 25, 25) : QColor(25, 255, 25));
  }
  edit->setPalette(palette);
  edit->setEnabled(fresh);
}

bool MainWindow::TwoBytes() const {
  return teach_double_byte_->isChecked();
}

void MainWindow::SetTwoBytes(bool on) {
  teach_double_byte_->setChecked(on);
}

void MainWindow::DropTwoBytesFocus() {
  teach_double_byte_->clearFocus();
}

bool MainWindow::ClassicCodes() const {
  return teach_classic_->isChecked();
}

void MainWindow::SetClassicCodes(bool on) {
  teach_classic_->setChecked(on);
}

void MainWindow::ShowTeachData(const std::string& text, TeachTone tone) {
  teach_data_->setText(Text(text));  // shortened in the middle, whole as its tool tip
  QPalette palette = teach_data_->palette();
  palette.setColor(QPalette::Window,
                   tone == TeachTone::kFree ? QColor(200, 250, 200) : QColor(250, 200, 200));
  teach_data_->setPalette(palette);
  teach_data_->setAutoFillBackground(true);
}

void MainWindow::ShowTeachChoice(bool taught) {
  teach_clear_->setVisible(taught);
  teach_key_field_->setVisible(!taught);
}

KeyMenu& MainWindow::TeachKeyMenu() {
  return *teach_key_menu_;
}

void MainWindow::ToggleMinimised() {
  if (isMinimized()) {
    showNormal();
  } else {
    showMinimized();
  }
}

ViewPoint MainWindow::WindowCorner(int menu_offset) const {
  const QPoint corner = pos();
  const int offset = menuBar() != nullptr ? menu_offset : 0;
  return ViewPoint{static_cast<float>(corner.x()), static_cast<float>(corner.y() + offset)};
}

void MainWindow::ShowOnAllWorkspaces(bool all) {
  if (!SetWindowOnAllWorkspaces(static_cast<uintptr_t>(winId()), all)) {
    Trace("all workspaces: no window manager to ask (%s)\n", all ? "on" : "off");
  }
}

MuteIndicator* MainWindow::MuteButton() {
  return indicators_.get();
}

StatusLabel* MainWindow::StatusLine() {
  return indicators_.get();
}

void MainWindow::ShowPressedKey(int32_t keyfn) {
  if (pulse_view_ != nullptr) pulse_view_->SetRemoteDev(keyfn);
}

bool MainWindow::ReceiverContinuous() const {
  return receiver_flags_.receiving != 0;
}

void MainWindow::SetReceiverContinuous(bool on) {
  receiver_flags_.receiving = on ? 1 : 0;
  if (receiver_ == nullptr) return;
  if (on) {
    receiver_->ReStartSniffer();
  } else {
    receiver_->StopSniffer();
  }
  if (pulse_view_ != nullptr) pulse_view_->update();
}

void MainWindow::ReceiverUnusable() {
  receiver_flags_.scanning = 0;
}

}  // namespace koru
