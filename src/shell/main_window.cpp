#include "shell/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>

#include "actions/actions.h"
#include "koru_version.h"
#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/lircd/lircd_socket_server.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_flags.h"
#include "routing/routing_messages.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/window_indicators.h"
#include "toolkit/after_first_turn.h"
#include "toolkit/elided_label.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"
#include "toolkit/text_control.h"
#include "toolkit/view_utilities.h"
#include "toolkit/window_placement.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace {

// The right column ends at 693: a narrower window would cut the "MUTED" button and the switches.
constexpr int kMinWidth = 698, kMaxWidth = 700, kMinHeight = 200, kMaxHeight = 240;

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

}  // namespace

MainWindow::MainWindow(const Rect& frame, WindowSetup setup)
    : fSetup(std::move(setup)),
      fSettings(fSetup.settings),
      fLircd(KORU_VERSION),
      fRouter(KeyRouter::Links{
          this, fSettings, [this](ActionThread::Action action) { RunAction(std::move(action)); },
          [](const Message& message) { AppMessenger().SendMessage(message); },
          &fReceiverFlags.SLOWDOWN_GLOBAL, fLircd.Listener()}) {
  // 1. A titled, floating, not zoomable window.
  setGeometry(static_cast<int>(frame.left), static_cast<int>(frame.top),
              static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::WindowMinimizeButtonHint);
  SetSizeLimits(kMinWidth, kMaxWidth, kMinHeight, kMaxHeight);
  setObjectName("KORU");
  QFont small = font();
  small.setPointSize(9);
  setFont(small);

  // 3. Settings.
  if (fSettings != nullptr) {
    fColoredDesign = fSettings->use_pimped;
  }

  // 4. Title.
  fTitle = "KORU";
  fTitle += "-Mini";
  setWindowTitle(QString::fromStdString(fTitle));
  fTitle.clear();

  // 5. Folders and remotes.
  PrepareProgramFolders();
  // Before the receiver starts: a client that connects at once misses no key.
  if (!fSetup.lircd_socket.empty() || (fSettings != nullptr && fSettings->lircd_socket)) {
    ServeLircdClients(true);
  }

  // 6. The stored frame.
  if (fSettings != nullptr) {
    const Rect& stored = fSettings->prefs_window_rect;
    move(static_cast<int>(stored.left), static_cast<int>(stored.top));
    resize(static_cast<int>(stored.Width()), static_cast<int>(stored.Height()));
  }
  KeepOnScreen(this);

  // 7.-9. Menus, panel, controls.
  BuildMenus();
  BuildPanel();
  BuildControls();

  // The group menus, the teach menu, the actions and the current presets.
  BuildActions();
  fRouter.Start();
  // After the presets' line, which starts the log afresh.
  ShowDesktopNotices();

  // 10.-11. Colours, layout, media list items.
  UseColoredDesign();
  UseAltDesign(1);
  ShowMediaListState(nullptr);

  // 12.-14.
  GiveMnemonics(this);
  Trace(" Build Window \n");
  // The mixer's library loads on the action thread; the window is shown first.
  AfterFirstTurn(this, [this] {
    MuteIndicator* indicator = fIndicators.get();
    RunAction([indicator](ActionServices& services) {
      IMuteSound(services, true, indicator);
      // The button follows the mixer also when another program changes the mute.
      services.mixer->WatchMute([indicator](bool muted) {
        Trace("Master volume is %s\n", muted ? "muted" : "unmuted");
        indicator->SetShown(muted);
      });
    });
  });
  connect(&fPulse, &QTimer::timeout, this, [this] { OnPulse(); });
  fPulseRate = 250000;
  PlanPulse();
  Trace("-- StartUp --\n");
}

void MainWindow::ServeLircdClients(bool on) {
  if (!on) {
    fLircd.Stop();
    return;
  }
  fLircd.Start(fSetup.lircd_socket.empty() ? LircdDefaultSocketPath() : fSetup.lircd_socket);
}

void MainWindow::SetSizeLimits(int min_width, int max_width, int min_height, int max_height) {
  setMinimumSize(min_width, min_height);
  setMaximumSize(max_width, max_height);
}

int MainWindow::MenuBarHeight() const {
  return menuBar() != nullptr ? menuBar()->sizeHint().height() : 0;
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("menubar");
  const Messenger self = GetMessenger();

  fIconMenu = bar->addMenu(Label(kLabelProgramName));
  fIconMenu->setObjectName("IconMenu");
  AddMenuItem(fIconMenu, Label(kLabelSettings), Message(kShowSettings), self);
  fIconMenu->addSeparator();
  AddMenuItem(fIconMenu, Label(kLabelAbout), Message(kAboutRequested), self);
  fIconMenu->addSeparator();
  AddMenuItem(fIconMenu, Label(kLabelQuit), Message(kQuitRequested), self);

  fFileMenu = bar->addMenu("File");
  fFileMenu->setObjectName("File");
  AddMenuItem(fFileMenu, Label(kLabelTeachIn), Message(kTeachStart), self);
  fFileMenu->addSeparator();
  AddMenuItem(fFileMenu, Label(kLabelPresetEdit), Message(kEditPresets), self);
  // The chart of every remote's codes, written next to the key chart in the remote folder.
  AddMenuItem(fFileMenu, "Code chart", Message(kWriteCodeChart), self);
  AddMenuItem(fFileMenu, "Import LIRC remote...", Message(kImportLircRemote), self);
  AddMenuItem(fFileMenu, "Import kernel keymap…", Message(kImportKernelKeymap), self);
  fFileMenu->addSeparator();
  AddMenuItem(fFileMenu, Label(kLabelOpen), Message(kOpenMediaList), self);
  AddMenuItem(fFileMenu, Label(kLabelClose), Message(kCloseMediaList), self);

  fViewMenu = bar->addMenu(Label(kLabelView));
  fViewMenu->setObjectName("View");
  AddMenuItem(fViewMenu, Label(kLabelMiniView), Message(kToggleMiniView), self);
  // The virtual remote window.
  AddMenuItem(fViewMenu, Label(kLabelLayout), Message(kOpenVirtualRemote), self);
}

void MainWindow::BuildPanel() {
  fPoseView = new QWidget(this);
  fPoseView->setObjectName("PoseView");
  fPoseView->setAutoFillBackground(true);
  setCentralWidget(fPoseView);

  fTextView = new QTextEdit(fPoseView);
  fTextView->setObjectName("text_view");
  fTextView->setReadOnly(true);
  fTextView->setLineWrapMode(QTextEdit::NoWrap);  // whole lines; scrolled sideways if wider
  fScrollView = new QScrollArea(fPoseView);
  fScrollView->setObjectName("scroll_view");
  fScrollView->setWidgetResizable(true);
  fScrollView->setWidget(fTextView);
  fScrollView->setGeometry(5, 5, 232, 168);

  fMiniView = new QWidget(fPoseView);
  fMiniView->setObjectName("MiniView");
  fMiniView->setGeometry(5, 5, 250, 58);
  fMiniView->setAutoFillBackground(true);
  // Group, remote and key of the last code; filled by the routing.
  fMiniType = new QLabel(Label(kLabelDefault), fMiniView);
  fMiniType->setObjectName("miniType");
  fMiniType->setGeometry(4, 2, 242, 16);
  fMiniRem = new QLabel(Label(kLabelNoRemote), fMiniView);
  fMiniRem->setObjectName("miniRem");
  fMiniRem->setGeometry(4, 20, 242, 16);
  fMiniKey = new QLabel(Label(kLabelUnknownRemote), fMiniView);
  fMiniKey->setObjectName("miniKey");
  fMiniKey->setGeometry(4, 36, 242, 20);
  QFont key_font = fMiniKey->font();
  key_font.setBold(true);
  key_font.setPointSize(12);
  fMiniKey->setFont(key_font);
  fMiniView->hide();
}

namespace {

QCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& label, uint32_t code,
                     const Messenger& target) {
  auto* box = new QCheckBox(label, parent);
  box->setObjectName(name);
  QObject::connect(box, &QCheckBox::clicked, box, [target, code] { target.SendMessage(code); });
  return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& label, uint32_t code,
                        const Messenger& target) {
  auto* button = new QPushButton(label, parent);
  button->setObjectName(name);
  QObject::connect(button, &QPushButton::clicked, button,
                   [target, code] { target.SendMessage(code); });
  return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

// For texts that can be longer than their place (exact codes, remote names).
QLabel* MakeElidedLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new ElidedLabel(text, parent);
  label->setObjectName(name);
  return label;
}

QGroupBox* MakeBox(QWidget* parent, const char* name, const QString& label) {
  auto* box = new QGroupBox(label, parent);
  box->setObjectName(name);
  return box;
}

MenuField* MakeMenuField(QWidget* parent, const char* name, const QString& label,
                         const QString& title) {
  auto* menu = new QMenu(title);
  auto* field = new MenuField(label, menu, parent);
  field->setObjectName(name);
  return field;
}

TextControl* MakeTextControl(QWidget* parent, const char* name, const QString& label,
                             const QString& text, uint32_t code, const Messenger& target) {
  auto* control = new TextControl(label, text, parent);
  control->setObjectName(name);
  // Enter, Tab and a click elsewhere all commit what was typed: a user who tabs on to the next
  // field must not lose the text.
  QObject::connect(control->Edit(), &QLineEdit::editingFinished, control,
                   [target, code] { target.SendMessage(code); });
  return control;
}

}  // namespace

void MainWindow::BuildTeachMenu(QMenu* menu) {
  // The key functions a remote shows, grouped; each item assigns the taught code.
  QMenu* numbers = menu->addMenu(Label(kLabelNumbers));
  QMenu* controls = menu->addMenu(Label(kLabelControls));
  QMenu* media = menu->addMenu(Label(kLabelMediaKeys));
  QMenu* optionals = menu->addMenu(Label(kLabelOptionals));
  menu->addSeparator();
  auto place = [&](int key) -> QMenu* {
    if (key >= 51 && key <= 60) return numbers;
    if ((key >= 61 && key <= 64) || (key >= 68 && key <= 70) || key == 81) return controls;
    if (key == 65 || key == 66 || key == 75 || key == 83 || key == 84) return optionals;
    if (key == 91 || (key >= 93 && key <= 97)) return media;
    if (key == 67 || key == 71) return menu;
    return nullptr;
  };
  for (int key = 51; key <= 100; ++key) {
    QMenu* target = place(key);
    if (target == nullptr) continue;
    Message assign(kTeachAssignKey);
    assign.AddInt32("isCommand", key);
    AddMenuItem(target, Label(key), assign, GetMessenger())->setCheckable(true);
  }
}

void MainWindow::BuildControls() {
  const Messenger self = GetMessenger();
  QWidget* pose = fPoseView;

  // Right column: receiver view, switches, buttons, media list line.
  fContinue = MakeCheck(pose, "hyContinue", Label(kLabelContinuous), kContinueToggled, self);
  fContinue->setGeometry(533, 24, 160, 18);
  fContinue->setChecked(true);
  fHysteresisBox =
      MakeCheck(pose, "hyCheckBox", Label(kLabelUseHysteresis), kHysteresisToggled, self);
  fHysteresisBox->setGeometry(533, 44, 160, 18);
  fTeachButton = MakeButton(pose, "TRBut", Label(kLabelTeachIn), kTeachStart, self);
  fTeachButton->setGeometry(533, 68, 78, 24);
  fMuteButton = MakeButton(pose, "fMute", Label(kLabelMuted), kMuteSound, self);
  fMuteButton->setGeometry(615, 68, 78, 24);
  fMuteButton->setCheckable(true);
  fGloInfo = MakeLabel(pose, "gloInfo", Label(kLabelTrackerOnTop));
  fGloInfo->setGeometry(533, 98, 160, 18);
  fGloInfo->setAutoFillBackground(true);

  // Middle column: the key display and the splitting box.
  fResultBox = MakeBox(pose, "result", Label(kLabelDetector));
  fResultBox->setGeometry(242, 2, 286, 74);
  fIrType = MakeLabel(fResultBox, "irType", Label(kLabelNoCodec));
  fIrType->setGeometry(8, 18, 120, 16);
  fIrSender = MakeElidedLabel(fResultBox, "irSender", Label(kLabelNoRemote));
  fIrSender->setGeometry(140, 18, 140, 16);
  fIrSenKey = MakeLabel(fResultBox, "irSenKey", Label(kLabelUnknownRemote));
  fIrSenKey->setGeometry(8, 44, 120, 22);
  QFont big = fIrSenKey->font();
  big.setPointSize(13);
  big.setBold(true);
  fIrSenKey->setFont(big);
  fIrPrgNr = MakeElidedLabel(fResultBox, "irPrgNr", "");
  fIrPrgNr->setGeometry(140, 44, 140, 22);

  fSplitBox = MakeBox(pose, "SpBox", Label(kLabelSplitting));
  fSplitBox->setGeometry(242, 78, 286, 96);
  AddToolTip(fSplitBox, "toggle with IR-Menu");
  fReSplit = MakeCheck(fSplitBox, "ReSplit", Label(kLabelPermit), kSplittingToggled, self);
  fReSplit->setGeometry(8, 16, 120, 18);
  const char* const kGroupNames[5] = {"r4wMF", "r4dMF", "r4aMF", "r4AuMF", "r4ViMF"};
  for (int group = 0; group < 5; ++group) {
    fGroupFields[group] =
        MakeMenuField(fSplitBox, kGroupNames[group], Label(112 + group), Label(kLabelUnset));
  }

  // The teach box takes the place of both boxes while a remote is taught.
  fTeachBox = MakeBox(pose, "teachBox", Label(kLabelTeachbox));
  fTeachBox->setGeometry(242, 2, 286, 172);
  fTeachName =
      MakeTextControl(fTeachBox, "te_name", Label(kLabelName), "NewRemote", kTeachNameEdited, self);
  fTeachName->setGeometry(6, 16, 274, 22);
  fTeachHead = MakeTextControl(fTeachBox, "te_head", Label(kLabelHeader), "255127",
                               kTeachHeaderEdited, self);
  fTeachHead->setGeometry(6, 40, 170, 22);
  fTeachClassic = MakeCheck(fTeachBox, "te_classic", "Classic codes", kTeachClassicToggled, self);
  fTeachClassic->setGeometry(182, 42, 100, 18);
  AddToolTip(fTeachClassic, "teach with the classic code bytes instead of exact codes");
  fTeachDoubleByte =
      MakeCheck(fTeachBox, "te_dbyt", Label(kLabelTwoCommandBytes), kTeachDoubleByteToggled, self);
  fTeachDoubleByte->setGeometry(6, 64, 160, 18);
  fTeachDone = MakeButton(fTeachBox, "doneBut", Label(kLabelQuit), kTeachDone, self);
  fTeachDone->setGeometry(208, 62, 72, 22);
  fRemoteField = MakeMenuField(fTeachBox, "vaMF", "", Label(kLabelNoRemote));
  fRemoteField->setGeometry(6, 86, 274, 22);
  fTeachSetBox = MakeBox(fTeachBox, "tsetBox", "");
  fTeachSetBox->setGeometry(4, 110, 278, 58);
  // "set free" and "goes to:" are never shown together: they share the lower row, so the
  // teach data has the whole upper one for an exact code in words.
  fTeachClear = MakeButton(fTeachSetBox, "teClr", Label(kLabelSetFree), kTeachClearKey, self);
  fTeachClear->setGeometry(4, 30, 70, 22);
  fTeachData = MakeElidedLabel(fTeachSetBox, "teData", Label(kLabelTeachData));
  fTeachData->setGeometry(4, 4, 270, 22);
  fTeachData->setAutoFillBackground(true);
  fTeachKeyField =
      MakeMenuField(fTeachSetBox, "teMF", Label(kLabelGoesTo), Label(kLabelCodeNotFound));
  fTeachKeyField->setGeometry(4, 30, 270, 24);
  fTeachKeyField->SetRadioMode(false);  // every taught key is marked
  fTeachKeyMenu = std::make_unique<KeyFunctionMenu>(fTeachKeyField);
  // Its items are made when the menu is first opened or marked: the box is hidden at start.
  fTeachKeyField->ReplaceItemsLater([this](QMenu* menu) { BuildTeachMenu(menu); },
                                    Label(kLabelCodeNotFound));
  fTeachBox->hide();

  BuildReceiverView();
}
