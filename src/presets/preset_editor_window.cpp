#include "presets/preset_editor_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>
#include <cstring>

#include "platform/desktop/desktop_messages.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "presets/preset_binding_view.h"
#include "presets/preset_messages.h"
#include "presets/preset_page_view.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"
#include "toolkit/view_utilities.h"
#include "toolkit/window_placement.h"

namespace koru {

namespace {

struct Page {
  const char* name;
  const char* tab_label;
  QColor color;
};
const Page kPages[5] = {
    {"Any Remote", "Default", QColor(200, 210, 240)},
    {"DesktopRemote", "DesktopRemote", QColor(200, 210, 200)},
    {"AppRemote", "AppRemote", QColor(200, 230, 200)},
    {"AudioRemote", "AudioRemote", QColor(210, 210, 230)},
    {"VideoRemote", "VideoRemote", QColor(200, 210, 210)},
};

QFont FontOfSize(QFont font, int pixels) {
  font.setPixelSize(pixels);
  return font;
}

}  // namespace

PresetEditorWindow::PresetEditorWindow(const Rect& frame, Prefs* settings,
                                       std::filesystem::path remote_folder)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      settings_(settings),
      remote_folder_(std::move(remote_folder)),
      preset_name_(settings_ != nullptr ? settings_->Presetfile : "_preset_") {
  // The file is written into the remote folder and nowhere else.
  if (!IsPlainFileName(preset_name_)) {
    Trace("preset file name '%s' refused, using '_preset_'\n", preset_name_.c_str());
    preset_name_ = "_preset_";
  }
  setObjectName("_PRESET_WIN_");
  setWindowTitle("_PRESET_WIN_");
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumSize(600, 300);
  setMaximumSize(700, 360);
  // Where the user left it, and as large as it was (the limits keep a bad rect in bounds).
  const Rect stored = settings_ != nullptr ? settings_->pr_window_rect : frame;
  move(static_cast<int>(stored.left), static_cast<int>(stored.top));
  resize(static_cast<int>(stored.Width()), static_cast<int>(stored.Height()));
  KeepOnScreen(this);

  panel_ = new QWidget(this);
  panel_->setObjectName("PoseView");
  panel_->setFont(FontOfSize(panel_->font(), 11));
  SetViewColor(panel_, palette().color(QPalette::Window));

  name_view_ = new QLabel("no name", panel_);
  name_view_->setObjectName("nameOfPreset");
  name_view_->setFont(FontOfSize(panel_->font(), 19));

  const Messenger self = GetMessenger();
  restore_ = new QPushButton("Restore", panel_);
  restore_->setObjectName("reload");
  connect(restore_, &QPushButton::clicked, this, [self] { self.SendMessage(kRestorePresets); });
  save_ = new QPushButton("Save", panel_);
  save_->setObjectName("save");
  connect(save_, &QPushButton::clicked, this, [self] { self.SendMessage(kSavePresets); });
  auto* save_key = new QShortcut(QKeySequence::Save, this);
  connect(save_key, &QShortcut::activated, this, [this, self] {
    if (modified_) self.SendMessage(kSavePresets);
  });

  preset_menu_ = new QMenu(this);
  preset_menu_->setObjectName("pfMenu");
  preset_field_ = new QToolButton(panel_);
  preset_field_->setObjectName("pfMF");
  preset_field_->setArrowType(Qt::DownArrow);
  preset_field_->setPopupMode(QToolButton::InstantPopup);
  preset_field_->setMenu(preset_menu_);
  preset_field_->setStyleSheet("QToolButton::menu-indicator { image: none; }");  // one arrow
  preset_field_->setToolTip("Preset files");

  ScanPresetFiles();
  LoadPresetList(true);
  preset_field_->setVisible(preset_menu_->actions().size() >= 2);
  name_view_->installEventFilter(this);

  BuildTabs();
  PlaceViews();
  SetTabLabels();
  GiveMnemonics(this);
  built_ = true;
  show();
  // A missing current file is written at once, so that the main window finds it.
  if (file_missing_) SavePresetList();
}

PresetEditorWindow::~PresetEditorWindow() {
  DetachHandler();
  // The main window rereads the file as stored; then the application forgets this window.
  AppMessenger().SendMessage(kReloadPresets);
  AppMessenger().SendMessage(kPresetEditorClosed);
}

void PresetEditorWindow::BuildTabs() {
  tab_view_ = new QTabWidget(panel_);
  tab_view_->setObjectName("tab_view");
  for (int group = 0; group < 5; ++group) {
    auto* page = new PresetPageView(kPages[group].name, kPages[group].color);
    pages_[group] = page;
    tab_view_->addTab(page, kPages[group].tab_label);
    for (int digit = 0; digit < 10; ++digit) {
      const int slot = group * 10 + digit;
      auto* field = new PresetBindingView(slot, GetMessenger(), page);
      field->setGeometry(35, 10 + 20 * digit, 100, 17);
      fields_[slot] = field;
      ShowSlot(slot);
    }
  }
}

void PresetEditorWindow::PlaceViews() {
  const int w = width();
  const int h = height();
  panel_->setGeometry(0, 0, w, h);
  name_view_->setGeometry(40, 11, std::max(0, w - 290), 24);
  restore_->setGeometry(w - 200, 8, 90, 24);
  save_->setGeometry(w - 100, 8, 90, 24);
  preset_field_->setGeometry(12, 11, 22, 24);
  tab_view_->setGeometry(5, 60, w - 10, h - 65);
}

void PresetEditorWindow::ScanPresetFiles() {
  preset_menu_->clear();
  for (const std::string& name : koru::ScanPresetFiles(remote_folder_)) {
    Message choose(kChoosePresetFile);
    choose.AddString("preset_name", name);
    QAction* item = AddMenuItem(preset_menu_, QString::fromStdString(name), choose, GetMessenger());
    item->setCheckable(true);
  }
  MarkCurrentPresetFile();
}

void PresetEditorWindow::MarkCurrentPresetFile() {
  for (QAction* item : preset_menu_->actions()) {
    item->setChecked(item->text().toStdString() == preset_name_);
  }
}

void PresetEditorWindow::LoadPresetList(bool reset) {
  if (!preset_list_) {
    preset_list_ = std::make_unique<PresetList>(NewPresetList());
  } else if (reset) {
    *preset_list_ = NewPresetList();
  }
  preset_path_ = remote_folder_ / preset_name_;
  name_view_->setText(QString::fromStdString(preset_name_));
  file_missing_ = ReadPresetFile(preset_path_, preset_list_.get()) < 0;
  if (file_missing_) {
    Trace(" '%s' Missing !\n", preset_name_.c_str());
    for (int slot = 0; slot < 10; ++slot) (*preset_list_)[slot] = getLabel(kLabelWorkspace);
  }
  // Once the window is up, a file that vanished is offered for saving rather than written.
  SetModified(file_missing_ && built_);
  for (int slot = 0; slot < 50; ++slot) ShowSlot(slot);
}

bool PresetEditorWindow::SavePresetList() {
  const status_t status = WritePresetFile(preset_path_, *preset_list_);
  if (status != kOk) {
    const std::string why = "Could not save '" + preset_path_.string() +
                            "': " + StatusText(status) + ". The changes are still in the editor.";
    Trace("%s\n", why.c_str());
    AnyAlert(why, false);
    return false;
  }
  file_missing_ = false;
  SetModified(false);
  AppMessenger().SendMessage(kReloadPresets);
  return true;
}

namespace {

// What a numeric key opens in the browser: the value starts with one of these.
bool IsWebAddress(const std::string& text) {
  for (const char* scheme : {"http://", "https://", "ftp://", "file:/"}) {
    if (text.rfind(scheme, 0) == 0 && text.size() > std::strlen(scheme)) return true;
  }
  return false;
}

}  // namespace

void PresetEditorWindow::DoWithPresetList(Message* message) {
  if (message == nullptr || message->what != kPresetEntryEdited) return;
  const int32_t slot = message->GetInt32("e_nr", 99);
  const int32_t modus = message->GetInt32("e_modus", 99);
  // Slot 50 is in the list but has no field: it is never edited.
  if (slot < 0 || slot >= 50 || !preset_list_) return;
  std::string& value = (*preset_list_)[slot];
  switch (modus) {
    case 0:
      value = getLabel(kLabelUnset);
      break;
    case 1:
      clipboard_ = fields_[slot]->text().toStdString();
      return;
    case 2:
      value = clipboard_;
      break;
    case 3:
      value = getLabel(kLabelWorkspace);
      break;
    case 5:
    case 6: {
      std::string path;
      if (message->FindString("e_path", &path) != kOk || path.empty()) return;
      std::string problem = PresetValueProblem(slot, path);
      // A web address is bound as typed, and must be one the key can open.
      if (problem.empty() && modus == 6 && !IsWebAddress(path))
        problem = "it is no web address (http://, https://, ftp:// or file:/)";
      if (!problem.empty()) {
        AnyAlert("'" + path + "' cannot be bound to " + PresetSlotLabel(slot) + problem + ".",
                 false);
        return;
      }
      value = path;
      break;
    }
    default:
      return;
  }
  ShowSlot(slot);
  SetModified(true);
}

void PresetEditorWindow::SetTabLabels() {
  if (tab_view_ == nullptr) return;
  const char* groups[5] = {nullptr, "", "", "", ""};
  if (settings_ != nullptr) {
    groups[1] = settings_->Desktop;
    groups[2] = settings_->Application;
    groups[3] = settings_->Audio;
    groups[4] = settings_->Video;
  }
  for (int group = 1; group < 5; ++group) {
    const std::string remote = groups[group];
    // A group never assigned holds "-empty-", one set free again "-unset-".
    const bool unset = remote.empty() || remote == getLabel(kLabelUnset) || remote == "-empty-";
    tab_view_->setTabText(group, unset ? kPages[group].tab_label : QString::fromStdString(remote));
  }
  tab_view_->update();
}

void PresetEditorWindow::MessageReceived(Message* message) {
  switch (message->what) {
    case kRestorePresets:
      Trace("reload preset\n");
      LoadPresetList(true);
      return;
    case kSavePresets:
      SavePresetList();
      return;
    case kChoosePresetFile:
      if (std::string name; message->FindString("preset_name", &name) == kOk && !name.empty()) {
        ChoosePresetFile(name);
      }
      return;
    case kPresetEntryEdited:
      DoWithPresetList(message);
      return;
    case kPresetLabelsChanged:
      SetTabLabels();
      return;
    case kQuitRequested:
      close();
      return;
    default:
      return;
  }
}

void PresetEditorWindow::ChoosePresetFile(const std::string& name) {
  if (!modified_) {
    SwitchPresetFile(name);
    return;
  }
  question_.Ask(this, "Save changes to '" + QString::fromStdString(preset_name_) + "'?",
                [this, name](SaveQuestion::Answer answer) {
                  if (answer == SaveQuestion::Answer::kCancel ||
                      (answer == SaveQuestion::Answer::kSave && !SavePresetList())) {
                    MarkCurrentPresetFile();
                    return;
                  }
                  SwitchPresetFile(name);
                });
}

void PresetEditorWindow::SwitchPresetFile(const std::string& name) {
  if (!IsPlainFileName(name)) return;
  preset_name_ = name;
  if (settings_ != nullptr) Prefs::SetText(settings_->Presetfile, name.c_str());
  LoadPresetList(true);
  MarkCurrentPresetFile();
  // The setting now names another file: the main window follows at once.
  AppMessenger().SendMessage(kReloadPresets);
}

void PresetEditorWindow::Activate() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void PresetEditorWindow::SetModified(bool modified) {
  modified_ = modified;
  restore_->setEnabled(modified);
  save_->setEnabled(modified);
}

void PresetEditorWindow::ShowSlot(int slot) {
  if (PresetBindingView* field = fields_[static_cast<size_t>(slot)]) {
    field->SetValue(preset_list_ ? QString::fromStdString((*preset_list_)[slot]) : " ..UNSET");
  }
}

void PresetEditorWindow::closeEvent(QCloseEvent* event) {
  if (!modified_ || close_confirmed_) {
    event->accept();
    return;
  }
  event->ignore();
  if (question_.Pending()) return;
  question_.Ask(this, "Save changes to '" + QString::fromStdString(preset_name_) + "'?",
                [this](SaveQuestion::Answer answer) {
                  if (answer == SaveQuestion::Answer::kCancel) return;
                  if (answer == SaveQuestion::Answer::kSave && !SavePresetList()) return;
                  close_confirmed_ = true;
                  // Closed again outside the close event that asked.
                  GetMessenger().SendMessage(kQuitRequested);
                });
}

void PresetEditorWindow::StoreFrame() {
  if (!built_ || settings_ == nullptr) return;
  settings_->pr_window_rect = FrameToStore(this, settings_->pr_window_rect);
}

void PresetEditorWindow::moveEvent(QMoveEvent*) {
  StoreFrame();
}

void PresetEditorWindow::resizeEvent(QResizeEvent*) {
  if (tab_view_ != nullptr) PlaceViews();
  StoreFrame();
}

bool PresetEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == name_view_ && event->type() == QEvent::MouseButtonPress &&
      preset_field_->isVisible()) {
    preset_menu_->popup(name_view_->mapToGlobal(QPoint(0, name_view_->height())));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace koru
