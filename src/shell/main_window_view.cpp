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
  fServices = fSetup.services ? fSetup.services() : CreateDesktopServices();
  if (fSetup.dry_run) fServices = DryRunServices(std::move(fServices));
  ActionServices services;
  services.desktop = fServices.desktop.get();
  services.players = fServices.players.get();
  services.mixer = fServices.mixer.get();
  services.launcher = fServices.launcher.get();
  fIndicators = std::make_unique<WindowIndicators>(fMuteButton, fGloInfo);
  fActions = std::make_unique<ActionThread>(services);
}

void MainWindow::ShowDesktopNotices() {
  // Without a desktop at all, the receiver's own messages say what KORU can do.
  DesktopReport report = DesktopState();
  if (report.session.empty() || report.session == "none") return;
  std::vector<std::string> notices = report.Notices();
  for (auto line = notices.rbegin(); line != notices.rend(); ++line) InsertLog(*line + "\n");
}

DesktopReport MainWindow::DesktopState() const {
  return fServices.desktop ? fServices.desktop->Report() : DesktopReport{};
}

void MainWindow::RunAction(ActionThread::Action action) {
  if (!fActions) return;
  fActions->Post(
      [action = std::move(action), after = fSetup.after_action](ActionServices& services) {
        action(services);
        if (after) after();
      });
}

void MainWindow::WaitForActions() {
  if (fActions) fActions->WaitIdle();
}

bool MainWindow::ActionsIdle() {
  if (!fActions) return true;
  fActions->WaitIdle();
  return true;
}

void MainWindow::ShutdownActions() {
  if (fActions) {
    // Focus-follows-mouse goes off with the window, after whatever is still queued.
    RunAction([](ActionServices& services) { FollowMousFocus(services, false); });
    fActions->WaitIdle();
    fActions.reset();
  }
  // The mixer's watch reports to the "MUTED" button until the mixer goes.
  fServices.mixer.reset();
}

void MainWindow::SetText(RoutingText which, const std::string& text) {
  QWidget* target = nullptr;
  switch (which) {
    case RoutingText::kCodec:
      target = fIrType;
      break;
    case RoutingText::kRemote:
      target = fIrSender;
      break;
    case RoutingText::kKey:
      target = fIrSenKey;
      break;
    case RoutingText::kKeyValue:
      target = fIrPrgNr;
      break;
    case RoutingText::kMiniRemote:
      target = fMiniRem;
      break;
    case RoutingText::kMiniKey:
      target = fMiniKey;
      break;
    case RoutingText::kStatusLine:
      target = fGloInfo;
      break;
    case RoutingText::kSplitTitle:
      if (fSplitBox != nullptr) fSplitBox->setTitle(Text(text));
      return;
  }
  if (auto* label = qobject_cast<QLabel*>(target)) label->setText(Text(text));
}

void MainWindow::SetMiniGroup(const std::string& text, TextAlign align) {
  fMiniType->setText(Text(text));
  fMiniType->setAlignment(align == TextAlign::kLeft    ? Qt::AlignLeft
                          : align == TextAlign::kRight ? Qt::AlignRight
                                                       : Qt::AlignHCenter);
}

void MainWindow::ShowStatusLine() {
  fGloInfo->show();
}

void MainWindow::InsertLog(const std::string& line) {
  QTextCursor cursor(fTextView->document());
  cursor.movePosition(QTextCursor::Start);
  cursor.insertText(Text(line));
}

void MainWindow::SetLogText(const std::string& text) {
  fTextView->setPlainText(Text(text));
}

std::string MainWindow::LogText() const {
  return fTextView->toPlainText().toStdString();
}

void MainWindow::Beep() {
  // The desktop's sound for a recognised key ("koru-receiver" where the theme has one), else
  // the bell; it never holds up the window.
  fSound.Play();
}

void MainWindow::ShowHysteresis(bool on) {
  fHysteresisBox->setChecked(on);
}

void MainWindow::ShowContinuous(bool on) {
  fContinue->setChecked(on);
}

bool MainWindow::SplitSwitch() const {
  return fReSplit->isChecked();
}

void MainWindow::SetSplitSwitch(bool on) {
  fReSplit->setChecked(on);
}

void MainWindow::ShowSplitting(bool on) {
  const QColor colour = on && fColoredDesign ? kSplitRed : palette().color(QPalette::Window);
  for (MenuField* field : fGroupFields) {
    SetViewColor(field, colour);
    field->setEnabled(on);
  }
  SetViewColor(fReSplit, colour);
  SetViewColor(fSplitBox, colour);
  ColorToChilds(fSplitBox);
  fSplitBox->update();
}

void MainWindow::ShowGroupHighlight(const std::array<bool, 5>& lit) {
  const QColor normal = fColoredDesign ? kSplitRed : palette().color(QPalette::Window);
  const QColor highlight = fColoredDesign ? kSplitBlue : palette().color(QPalette::Highlight);
  for (int group = 0; group < 5; ++group) {
    SetViewColor(fGroupFields[group], lit[group] ? highlight : normal);
  }
}

MenuField* MainWindow::RemoteMenuField(int32_t kind) const {
  if (kind == 0) return fRemoteField;
  if (kind >= 10 && kind < 15) return fGroupFields[kind - 10];
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
  SetItemTo(fViewMenu, 0, getLabel(kLabelShowTab), true, nullptr, on);
}

void MainWindow::ShowTeachBox(bool teaching) {
  if (teaching) {
    fResultBox->hide();
    fSplitBox->hide();
    if (fTeachBox->isHidden()) {
      fTeachKeyField->hide();
      SetLogBackground(fTextView, QColor(250, 250, 250));
      fTeachBox->show();
    }
    return;
  }
  fTeachBox->hide();
  SetLogBackground(fTextView, palette().color(QPalette::Base));
  fResultBox->show();
  fSplitBox->show();
}

void MainWindow::LockForTeaching(bool locked) {
  fTeachButton->setEnabled(!locked);
  EnableMenuCommands(!locked, {kTeachStart, kReloadPresets, kEditPresets, kShowSettings,
                               kToggleMiniView, kImportLircRemote, kImportKernelKeymap});
}

std::string MainWindow::TeachFieldText(TeachField field) const {
  return (field == TeachField::kName ? fTeachName : fTeachHead)->Text().toStdString();
}

void MainWindow::SetTeachFieldText(TeachField field, const std::string& text) {
  (field == TeachField::kName ? fTeachName : fTeachHead)->SetText(Text(text));
}

void MainWindow::EnableTeachField(TeachField field, bool enabled) {
  (field == TeachField::kName ? fTeachName : fTeachHead)->Edit()->setEnabled(enabled);
}

void MainWindow::StyleTeachField(TeachField which, TeachFieldLook look) {
  const bool fresh = look == TeachFieldLook::kNew;
  QLineEdit* edit = (which == TeachField::kName ? fTeachName : fTeachHead)->Edit();
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
  return fTeachDoubleByte->isChecked();
}

void MainWindow::SetTwoBytes(bool on) {
  fTeachDoubleByte->setChecked(on);
}

void MainWindow::DropTwoBytesFocus() {
  fTeachDoubleByte->clearFocus();
}

bool MainWindow::ClassicCodes() const {
  return fTeachClassic->isChecked();
}

void MainWindow::SetClassicCodes(bool on) {
  fTeachClassic->setChecked(on);
}

void MainWindow::ShowTeachData(const std::string& text, TeachTone tone) {
  fTeachData->setText(Text(text));  // shortened in the middle, whole as its tool tip
  QPalette palette = fTeachData->palette();
  palette.setColor(QPalette::Window,
                   tone == TeachTone::kFree ? QColor(200, 250, 200) : QColor(250, 200, 200));
  fTeachData->setPalette(palette);
  fTeachData->setAutoFillBackground(true);
}

void MainWindow::ShowTeachChoice(bool taught) {
  fTeachClear->setVisible(taught);
  fTeachKeyField->setVisible(!taught);
}

KeyMenu& MainWindow::TeachKeyMenu() {
  return *fTeachKeyMenu;
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
  return fIndicators.get();
}

StatusLabel* MainWindow::StatusLine() {
  return fIndicators.get();
}

void MainWindow::ShowPressedKey(int32_t keyfn) {
  if (fPulseView != nullptr) fPulseView->SetRemoteDev(keyfn);
}

bool MainWindow::ReceiverContinuous() const {
  return fReceiverFlags.SCAN_CONTINOUS != 0;
}

void MainWindow::SetReceiverContinuous(bool on) {
  fReceiverFlags.SCAN_CONTINOUS = on ? 1 : 0;
  if (fReceiver == nullptr) return;
  if (on) {
    fReceiver->ReStartSniffer();
  } else {
    fReceiver->StopSniffer();
  }
  if (fPulseView != nullptr) fPulseView->update();
}

void MainWindow::ReceiverUnusable() {
  fReceiverFlags.CHECK_SCAN_IR = 0;
}
