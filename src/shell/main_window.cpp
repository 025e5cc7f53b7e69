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

namespace koru {

namespace {

// The right column ends at 693: a narrower window would cut the "MUTED" button and the switches.
constexpr int kMinWidth = 698, kMaxWidth = 700, kMinHeight = 200, kMaxHeight = 240;

QString Label(int n) {
  return QString::fromUtf8(getLabel(n));
}

}  // namespace

MainWindow::MainWindow(const Rect& frame, WindowSetup setup)
    : setup_(std::move(setup)),
      settings_(setup_.settings),
      lircd_(KORU_VERSION),
      router_(KeyRouter::Links{
          this, settings_, [this](ActionThread::Action action) { RunAction(std::move(action)); },
          [](const Message& message) { AppMessenger().SendMessage(message); },
          &receiver_flags_.slow_down, lircd_.Listener(), setup_.remote_folder}) {
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
  if (settings_ != nullptr) {
    colored_design_ = settings_->use_pimped;
  }

  // 4. Title.
  title_ = "KORU";
  title_ += "-Mini";
  setWindowTitle(QString::fromStdString(title_));
  title_.clear();

  // 5. Folders and remotes.
  PrepareProgramFolders();
  // Before the receiver starts: a client that connects at once misses no key.
  if (!setup_.lircd_socket.empty() || (settings_ != nullptr && settings_->lircd_socket)) {
    ServeLircdClients(true);
  }

  // 6. The stored frame.
  if (settings_ != nullptr) {
    const Rect& stored = settings_->prefs_window_rect;
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
  router_.Start();
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
    MuteIndicator* indicator = indicators_.get();
    RunAction([indicator](ActionServices& services) {
      IMuteSound(services, true, indicator);
      // The button follows the mixer also when another program changes the mute.
      services.mixer->WatchMute([indicator](bool muted) {
        Trace("Master volume is %s\n", muted ? "muted" : "unmuted");
        indicator->SetShown(muted);
      });
    });
  });
  connect(&pulse_, &QTimer::timeout, this, [this] { OnPulse(); });
  pulse_rate_ = 250000;
  PlanPulse();
  Trace("-- StartUp --\n");
}

void MainWindow::ServeLircdClients(bool on) {
  if (!on) {
    lircd_.Stop();
    return;
  }
  lircd_.Start(setup_.lircd_socket.empty() ? LircdDefaultSocketPath() : setup_.lircd_socket);
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

  icon_menu_ = bar->addMenu(Label(kLabelProgramName));
  icon_menu_->setObjectName("IconMenu");
  AddMenuItem(icon_menu_, Label(kLabelSettings), Message(kShowSettings), self);
  icon_menu_->addSeparator();
  AddMenuItem(icon_menu_, Label(kLabelAbout), Message(kAboutRequested), self);
  icon_menu_->addSeparator();
  AddMenuItem(icon_menu_, Label(kLabelQuit), Message(kQuitRequested), self);

  file_menu_ = bar->addMenu("File");
  file_menu_->setObjectName("File");
  AddMenuItem(file_menu_, Label(kLabelTeachIn), Message(kTeachStart), self);
  file_menu_->addSeparator();
  AddMenuItem(file_menu_, Label(kLabelPresetEdit), Message(kEditPresets), self);
  // The chart of every remote's codes, written next to the key chart in the remote folder.
  AddMenuItem(file_menu_, "Code chart", Message(kWriteCodeChart), self);
  AddMenuItem(file_menu_, "Import LIRC remote...", Message(kImportLircRemote), self);
  AddMenuItem(file_menu_, "Import kernel keymap…", Message(kImportKernelKeymap), self);
  file_menu_->addSeparator();
  AddMenuItem(file_menu_, Label(kLabelOpen), Message(kOpenMediaList), self);
  AddMenuItem(file_menu_, Label(kLabelClose), Message(kCloseMediaList), self);

  view_menu_ = bar->addMenu(Label(kLabelView));
  view_menu_->setObjectName("View");
  AddMenuItem(view_menu_, Label(kLabelMiniView), Message(kToggleMiniView), self);
  // The virtual remote window.
  AddMenuItem(view_menu_, Label(kLabelLayout), Message(kOpenVirtualRemote), self);
}

void MainWindow::BuildPanel() {
  pose_view_ = new QWidget(this);
  pose_view_->setObjectName("PoseView");
  pose_view_->setAutoFillBackground(true);
  setCentralWidget(pose_view_);

  text_view_ = new QTextEdit(pose_view_);
  text_view_->setObjectName("text_view");
  text_view_->setReadOnly(true);
  text_view_->setLineWrapMode(QTextEdit::NoWrap);  // whole lines; scrolled sideways if wider
  scroll_view_ = new QScrollArea(pose_view_);
  scroll_view_->setObjectName("scroll_view");
  scroll_view_->setWidgetResizable(true);
  scroll_view_->setWidget(text_view_);
  scroll_view_->setGeometry(5, 5, 232, 168);

  mini_view_ = new QWidget(pose_view_);
  mini_view_->setObjectName("MiniView");
  mini_view_->setGeometry(5, 5, 250, 58);
  mini_view_->setAutoFillBackground(true);
  // Group, remote and key of the last code; filled by the routing.
  mini_type_ = new QLabel(Label(kLabelDefault), mini_view_);
  mini_type_->setObjectName("miniType");
  mini_type_->setGeometry(4, 2, 242, 16);
  mini_rem_ = new QLabel(Label(kLabelNoRemote), mini_view_);
  mini_rem_->setObjectName("miniRem");
  mini_rem_->setGeometry(4, 20, 242, 16);
  mini_key_ = new QLabel(Label(kLabelUnknownRemote), mini_view_);
  mini_key_->setObjectName("miniKey");
  mini_key_->setGeometry(4, 36, 242, 20);
  QFont key_font = mini_key_->font();
  key_font.setBold(true);
  key_font.setPointSize(12);
  mini_key_->setFont(key_font);
  mini_view_->hide();
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
  QWidget* pose = pose_view_;

  // Right column: receiver view, switches, buttons, media list line.
  continue_ = MakeCheck(pose, "hyContinue", Label(kLabelContinuous), kContinueToggled, self);
  continue_->setGeometry(533, 24, 160, 18);
  continue_->setChecked(true);
  hysteresis_box_ =
      MakeCheck(pose, "hyCheckBox", Label(kLabelUseHysteresis), kHysteresisToggled, self);
  hysteresis_box_->setGeometry(533, 44, 160, 18);
  teach_button_ = MakeButton(pose, "TRBut", Label(kLabelTeachIn), kTeachStart, self);
  teach_button_->setGeometry(533, 68, 78, 24);
  mute_button_ = MakeButton(pose, "fMute", Label(kLabelMuted), kMuteSound, self);
  mute_button_->setGeometry(615, 68, 78, 24);
  mute_button_->setCheckable(true);
  glo_info_ = MakeLabel(pose, "gloInfo", Label(kLabelTrackerOnTop));
  glo_info_->setGeometry(533, 98, 160, 18);
  glo_info_->setAutoFillBackground(true);

  // Middle column: the key display and the splitting box.
  result_box_ = MakeBox(pose, "result", Label(kLabelDetector));
  result_box_->setGeometry(242, 2, 286, 74);
  ir_type_ = MakeLabel(result_box_, "irType", Label(kLabelNoCodec));
  ir_type_->setGeometry(8, 18, 120, 16);
  ir_sender_ = MakeElidedLabel(result_box_, "irSender", Label(kLabelNoRemote));
  ir_sender_->setGeometry(140, 18, 140, 16);
  ir_sen_key_ = MakeLabel(result_box_, "irSenKey", Label(kLabelUnknownRemote));
  ir_sen_key_->setGeometry(8, 44, 120, 22);
  QFont big = ir_sen_key_->font();
  big.setPointSize(13);
  big.setBold(true);
  ir_sen_key_->setFont(big);
  ir_prg_nr_ = MakeElidedLabel(result_box_, "irPrgNr", "");
  ir_prg_nr_->setGeometry(140, 44, 140, 22);

  split_box_ = MakeBox(pose, "SpBox", Label(kLabelSplitting));
  split_box_->setGeometry(242, 78, 286, 96);
  AddToolTip(split_box_, "toggle with IR-Menu");
  re_split_ = MakeCheck(split_box_, "ReSplit", Label(kLabelPermit), kSplittingToggled, self);
  re_split_->setGeometry(8, 16, 120, 18);
  const char* const kGroupNames[5] = {"r4wMF", "r4dMF", "r4aMF", "r4AuMF", "r4ViMF"};
  for (int group = 0; group < 5; ++group) {
    group_fields_[group] = MakeMenuField(split_box_, kGroupNames[group],
                                         Label(kLabelFirstGroup + group), Label(kLabelUnset));
  }

  // The teach box takes the place of both boxes while a remote is taught.
  teach_box_ = MakeBox(pose, "teachBox", Label(kLabelTeachbox));
  teach_box_->setGeometry(242, 2, 286, 172);
  teach_name_ = MakeTextControl(teach_box_, "te_name", Label(kLabelName), "NewRemote",
                                kTeachNameEdited, self);
  teach_name_->setGeometry(6, 16, 274, 22);
  teach_head_ = MakeTextControl(teach_box_, "te_head", Label(kLabelHeader), "255127",
                                kTeachHeaderEdited, self);
  teach_head_->setGeometry(6, 40, 170, 22);
  teach_classic_ = MakeCheck(teach_box_, "te_classic", "Classic codes", kTeachClassicToggled, self);
  teach_classic_->setGeometry(182, 42, 100, 18);
  AddToolTip(teach_classic_, "teach with the classic code bytes instead of exact codes");
  teach_double_byte_ =
      MakeCheck(teach_box_, "te_dbyt", Label(kLabelTwoCommandBytes), kTeachDoubleByteToggled, self);
  teach_double_byte_->setGeometry(6, 64, 160, 18);
  teach_done_ = MakeButton(teach_box_, "doneBut", Label(kLabelQuit), kTeachDone, self);
  teach_done_->setGeometry(208, 62, 72, 22);
  remote_field_ = MakeMenuField(teach_box_, "vaMF", "", Label(kLabelNoRemote));
  remote_field_->setGeometry(6, 86, 274, 22);
  teach_set_box_ = MakeBox(teach_box_, "tsetBox", "");
  teach_set_box_->setGeometry(4, 110, 278, 58);
  // "set free" and "goes to:" are never shown together: they share the lower row, so the
  // teach data has the whole upper one for an exact code in words.
  teach_clear_ = MakeButton(teach_set_box_, "teClr", Label(kLabelSetFree), kTeachClearKey, self);
  teach_clear_->setGeometry(4, 30, 70, 22);
  teach_data_ = MakeElidedLabel(teach_set_box_, "teData", Label(kLabelTeachData));
  teach_data_->setGeometry(4, 4, 270, 22);
  teach_data_->setAutoFillBackground(true);
  teach_key_field_ =
      MakeMenuField(teach_set_box_, "teMF", Label(kLabelGoesTo), Label(kLabelCodeNotFound));
  teach_key_field_->setGeometry(4, 30, 270, 24);
  teach_key_field_->SetRadioMode(false);  // every taught key is marked
  teach_key_menu_ = std::make_unique<KeyFunctionMenu>(teach_key_field_);
  // Its items are made when the menu is first opened or marked: the box is hidden at start.
  teach_key_field_->ReplaceItemsLater([this](QMenu* menu) { BuildTeachMenu(menu); },
                                      Label(kLabelCodeNotFound));
  teach_box_->hide();

  BuildReceiverView();
}

}  // namespace koru
