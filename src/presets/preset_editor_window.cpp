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
#include "remotes/remote_definition.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"
#include "toolkit/view_utilities.h"
#include "toolkit/window_placement.h"

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

PresetEditorWindow::PresetEditorWindow(const Rect& frame, Prefs* settings)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      fSettings(settings),
      fPresetName(fSettings != nullptr ? fSettings->Presetfile : "_preset_") {
  // The file is written into the remote folder and nowhere else.
  if (!IsPlainFileName(fPresetName)) {
    Trace("preset file name '%s' refused, using '_preset_'\n", fPresetName.c_str());
    fPresetName = "_preset_";
  }
  setObjectName("_PRESET_WIN_");
  setWindowTitle("_PRESET_WIN_");
  setAttribute(Qt::WA_DeleteOnClose);
  setMinimumSize(600, 300);
  setMaximumSize(700, 360);
  // Where the user left it, and as large as it was (the limits keep a bad rect in bounds).
  const Rect stored = fSettings != nullptr ? fSettings->pr_window_rect : frame;
  move(static_cast<int>(stored.left), static_cast<int>(stored.top));
  resize(static_cast<int>(stored.Width()), static_cast<int>(stored.Height()));
  KeepOnScreen(this);

  fPanel = new QWidget(this);
  fPanel->setObjectName("PoseView");
  fPanel->setFont(FontOfSize(fPanel->font(), 11));
  SetViewColor(fPanel, palette().color(QPalette::Window));

  fNameView = new QLabel("no name", fPanel);
  fNameView->setObjectName("nameOfPreset");
  fNameView->setFont(FontOfSize(fPanel->font(), 19));

  const Messenger self = GetMessenger();
  fRestore = new QPushButton("Restore", fPanel);
  fRestore->setObjectName("reload");
  connect(fRestore, &QPushButton::clicked, this, [self] { self.SendMessage(kRestorePresets); });
  fSave = new QPushButton("Save", fPanel);
  fSave->setObjectName("save");
  connect(fSave, &QPushButton::clicked, this, [self] { self.SendMessage(kSavePresets); });
  auto* save_key = new QShortcut(QKeySequence::Save, this);
  connect(save_key, &QShortcut::activated, this, [this, self] {
    if (fModified) self.SendMessage(kSavePresets);
  });

  fPresetMenu = new QMenu(this);
  fPresetMenu->setObjectName("pfMenu");
  fPresetField = new QToolButton(fPanel);
  fPresetField->setObjectName("pfMF");
  fPresetField->setArrowType(Qt::DownArrow);
  fPresetField->setPopupMode(QToolButton::InstantPopup);
  fPresetField->setMenu(fPresetMenu);
  fPresetField->setStyleSheet("QToolButton::menu-indicator { image: none; }");  // one arrow
  fPresetField->setToolTip("Preset files");

  ScanPresetFiles();
  LoadPresetList(true);
  fPresetField->setVisible(fPresetMenu->actions().size() >= 2);
  fNameView->installEventFilter(this);

  BuildTabs();
  PlaceViews();
  SetTabLabels();
  GiveMnemonics(this);
  fBuilt = true;
  show();
  // A missing current file is written at once, so that the main window finds it.
  if (fFileMissing) SavePresetList();
}

PresetEditorWindow::~PresetEditorWindow() {
  DetachHandler();
  // The main window rereads the file as stored; then the application forgets this window.
  AppMessenger().SendMessage(kReloadPresets);
  AppMessenger().SendMessage(kPresetEditorClosed);
}

void PresetEditorWindow::BuildTabs() {
  fTabView = new QTabWidget(fPanel);
  fTabView->setObjectName("tab_view");
  for (int group = 0; group < 5; ++group) {
    auto* page = new PresetPageView(kPages[group].name, kPages[group].color);
    fPages[group] = page;
    fTabView->addTab(page, kPages[group].tab_label);
    for (int digit = 0; digit < 10; ++digit) {
      const int slot = group * 10 + digit;
      auto* field = new PresetBindingView(slot, GetMessenger(), page);
      field->setGeometry(35, 10 + 20 * digit, 100, 17);
      fFields[slot] = field;
      ShowSlot(slot);
    }
  }
}

void PresetEditorWindow::PlaceViews() {
  const int w = width();
  const int h = height();
  fPanel->setGeometry(0, 0, w, h);
  fNameView->setGeometry(40, 11, std::max(0, w - 290), 24);
  fRestore->setGeometry(w - 200, 8, 90, 24);
  fSave->setGeometry(w - 100, 8, 90, 24);
  fPresetField->setGeometry(12, 11, 22, 24);
  fTabView->setGeometry(5, 60, w - 10, h - 65);
}

void PresetEditorWindow::ScanPresetFiles() {
  fPresetMenu->clear();
  for (const std::string& name : ::ScanPresetFiles(RemoteDefinition::Folder())) {
    Message choose(kChoosePresetFile);
    choose.AddString("preset_name", name);
    QAction* item = AddMenuItem(fPresetMenu, QString::fromStdString(name), choose, GetMessenger());
    item->setCheckable(true);
  }
  MarkCurrentPresetFile();
}

void PresetEditorWindow::MarkCurrentPresetFile() {
  for (QAction* item : fPresetMenu->actions()) {
    item->setChecked(item->text().toStdString() == fPresetName);
  }
}

void PresetEditorWindow::LoadPresetList(bool reset) {
  if (!fPresetList) {
    fPresetList = std::make_unique<PresetList>(NewPresetList());
  } else if (reset) {
    *fPresetList = NewPresetList();
  }
  fPresetPath = RemoteDefinition::Folder() / fPresetName;
  fNameView->setText(QString::fromStdString(fPresetName));
  fFileMissing = ReadPresetFile(fPresetPath, fPresetList.get()) < 0;
  if (fFileMissing) {
    Trace(" '%s' Missing !\n", fPresetName.c_str());
    for (int slot = 0; slot < 10; ++slot) (*fPresetList)[slot] = getLabel(kLabelWorkspace);
  }
  // Once the window is up, a file that vanished is offered for saving rather than written.
  SetModified(fFileMissing && fBuilt);
  for (int slot = 0; slot < 50; ++slot) ShowSlot(slot);
}

bool PresetEditorWindow::SavePresetList() {
  const status_t status = WritePresetFile(fPresetPath, *fPresetList);
  if (status != kOk) {
    const std::string why = "Could not save '" + fPresetPath.string() + "': " + StatusText(status) +
                            ". The changes are still in the editor.";
    Trace("%s\n", why.c_str());
    AnyAlert(why, false);
    return false;
  }
  fFileMissing = false;
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
  if (slot < 0 || slot >= 50 || !fPresetList) return;
  std::string& value = (*fPresetList)[slot];
  switch (modus) {
    case 0:
      value = getLabel(kLabelUnset);
      break;
    case 1:
      fClipboard = fFields[slot]->text().toStdString();
      return;
    case 2:
      value = fClipboard;
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
  if (fTabView == nullptr) return;
  const char* groups[5] = {nullptr, "", "", "", ""};
  if (fSettings != nullptr) {
    groups[1] = fSettings->Desktop;
    groups[2] = fSettings->Application;
    groups[3] = fSettings->Audio;
    groups[4] = fSettings->Video;
  }
  for (int group = 1; group < 5; ++group) {
    const std::string remote = groups[group];
    // A group never assigned holds "-empty-", one set free again "-unset-".
    const bool unset = remote.empty() || remote == getLabel(kLabelUnset) || remote == "-empty-";
    fTabView->setTabText(group, unset ? kPages[group].tab_label : QString::fromStdString(remote));
  }
  fTabView->update();
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
  if (!fModified) {
    SwitchPresetFile(name);
    return;
  }
  fQuestion.Ask(this, "Save changes to '" + QString::fromStdString(fPresetName) + "'?",
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
  fPresetName = name;
  if (fSettings != nullptr) Prefs::SetText(fSettings->Presetfile, name.c_str());
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
  fModified = modified;
  fRestore->setEnabled(modified);
  fSave->setEnabled(modified);
}

void PresetEditorWindow::ShowSlot(int slot) {
  if (PresetBindingView* field = fFields[static_cast<size_t>(slot)]) {
    field->SetValue(fPresetList ? QString::fromStdString((*fPresetList)[slot]) : " ..UNSET");
  }
}

void PresetEditorWindow::closeEvent(QCloseEvent* event) {
  if (!fModified || fCloseConfirmed) {
    event->accept();
    return;
  }
  event->ignore();
  if (fQuestion.Pending()) return;
  fQuestion.Ask(this, "Save changes to '" + QString::fromStdString(fPresetName) + "'?",
                [this](SaveQuestion::Answer answer) {
                  if (answer == SaveQuestion::Answer::kCancel) return;
                  if (answer == SaveQuestion::Answer::kSave && !SavePresetList()) return;
                  fCloseConfirmed = true;
                  // Closed again outside the close event that asked.
                  GetMessenger().SendMessage(kQuitRequested);
                });
}

void PresetEditorWindow::StoreFrame() {
  if (!fBuilt || fSettings == nullptr) return;
  fSettings->pr_window_rect = FrameToStore(this, fSettings->pr_window_rect);
}

void PresetEditorWindow::moveEvent(QMoveEvent*) {
  StoreFrame();
}

void PresetEditorWindow::resizeEvent(QResizeEvent*) {
  if (fTabView != nullptr) PlaceViews();
  StoreFrame();
}

bool PresetEditorWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == fNameView && event->type() == QEvent::MouseButtonPress &&
      fPresetField->isVisible()) {
    fPresetMenu->popup(fNameView->mapToGlobal(QPoint(0, fNameView->height())));
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
