#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QSlider>
#include <QTextEdit>
#include <set>

#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/trace.h"
#include "presets/preset_messages.h"
#include "receiver/receiver_messages.h"
#include "receiver/view/pulse_view.h"
#include "routing/routing_messages.h"
#include "shell/application_messages.h"
#include "shell/session_shell.h"
#include "shell_fixture.h"
#include "test_files.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"
#include "toolkit/text_control.h"

constexpr uint32_t kUnknownMessage = FourCC("zzzz");

namespace {

// What the mouse hits at the control's centre is the control itself, inside its parent.
void ExpectReachable(QWidget* parent, QWidget* control, const std::string& what) {
  const QRect frame = control->geometry();
  EXPECT_TRUE(parent->rect().contains(frame)) << what;
  EXPECT_EQ(parent->childAt(frame.center()), control) << what;
}

QString TextOf(QWidget* widget) {
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) return WithoutMnemonic(button->text());
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* box = qobject_cast<QGroupBox*>(widget)) return box->title();
  if (auto* text = qobject_cast<TextControl*>(widget))
    return text->Label()->text() + "|" + text->Text();
  if (auto* field = qobject_cast<MenuField*>(widget))
    return field->Label()->text() + "|" + field->MarkedText();
  return "?";
}

}  // namespace

TEST_F(ShellTest, FirstStartPreparesTheFoldersAndBuildsEveryControl) {
  TraceCapture trace;
  Start();
  const auto program = Program();
  for (const char* folder : {"_Remotes_", "Language", "Language/Dictionaries"}) {
    EXPECT_TRUE(std::filesystem::is_directory(program / folder)) << folder;
    EXPECT_TRUE(trace.Contains(">> build: " + (program / folder).string() + "\n"));
  }
  EXPECT_TRUE(trace.Contains(" Build Window \n"));
  EXPECT_TRUE(trace.Contains("-- StartUp --\n"));
  EXPECT_EQ(Window()->PulseRate(), 250000);

  for (const auto& control : ReadTable("shell/data/main_window_controls.tsv", 2)) {
    QWidget* widget = Find<QWidget>(control[0].c_str());
    ASSERT_NE(widget, nullptr) << control[0];
    EXPECT_EQ(TextOf(widget).toStdString(), control[1]) << control[0];
  }
  for (const char* name :
       {"PoseView", "text_view", "scroll_view", "MiniView", "miniType", "miniRem", "miniKey"}) {
    EXPECT_NE(Find<QWidget>(name), nullptr) << name;
  }
  EXPECT_TRUE(Find<QWidget>("teachBox")->isHidden());
  EXPECT_TRUE(Find<QWidget>("MiniView")->isHidden());
  EXPECT_EQ(Find<QWidget>("SpBox")->toolTip(), "toggle with IR-Menu");
}

TEST_F(ShellTest, MenusAndButtonsHaveLettersOfTheirOwnAndF10OpensTheMenuBar) {
  Start();
  const auto letter = [](const QString& text) {
    const qsizetype at = text.indexOf('&');
    return at < 0 || at + 1 >= text.size() ? QChar() : text[at + 1].toLower();
  };
  QMenuBar* bar = Window()->menuBar();
  std::set<QChar> window_letters;  // Alt+letter of the menu-bar titles and the buttons
  for (QAction* title : bar->actions()) {
    EXPECT_TRUE(window_letters.insert(letter(title->text())).second) << title->text().toStdString();
    std::set<QChar> menu_letters;
    for (QAction* item : title->menu()->actions()) {
      if (item->isSeparator()) continue;
      EXPECT_TRUE(menu_letters.insert(letter(item->text())).second) << item->text().toStdString();
    }
  }
  for (const char* name : {"TRBut", "fMute", "hyContinue", "hyCheckBox", "ReSplit"}) {
    auto* button = Find<QAbstractButton>(name);
    ASSERT_NE(button, nullptr) << name;
    EXPECT_TRUE(window_letters.insert(letter(button->text())).second) << name;
  }
  auto* f10 = Window()->findChild<QShortcut*>("menuKey");
  ASSERT_NE(f10, nullptr);
  EXPECT_EQ(f10->key(), QKeySequence(Qt::Key_F10));
  emit f10->activated();
  EXPECT_EQ(bar->activeAction(), bar->actions().first());
}

TEST_F(ShellTest, MenusCarryTheirMessagesAndTheKeyMenuGroupsTheReducedKeys) {
  Start();
  const struct {
    QMenu* menu;
    const char* label;
    uint32_t code;
  } items[] = {
      {IconMenu(), "Settings", kShowSettings},   {IconMenu(), "About", kAboutRequested},
      {IconMenu(), "Quit", kQuitRequested},      {FileMenu(), "Teach In", kTeachStart},
      {FileMenu(), "Preset edit", kEditPresets}, {ViewMenu(), "MiniView", kToggleMiniView},
  };
  for (const auto& item : items) {
    auto* action = qobject_cast<MessageAction*>(FindMenuItem(item.menu, QString(item.label)));
    ASSERT_NE(action, nullptr) << item.label;
    EXPECT_EQ(action->What(), item.code) << item.label;
  }
  QMenu* keys = Find<MenuField>("teMF")->Menu();
  const struct {
    const char* label;
    const char* submenu;  // nullptr: top level
    int key;
  } placed[] = {{"N0", "Numbers", 51},      {"OK", "Controls", 69},   {"Eject", "Controls", 81},
                {"Vol+", "Optionals", 65},  {"FAV", "Optionals", 75}, {"|<<", "Media-Keys", 91},
                {"Rec.", "Media-Keys", 97}, {"Mute", nullptr, 67},    {"Menu", nullptr, 71}};
  for (const auto& p : placed) {
    auto* action = qobject_cast<MessageAction*>(FindMenuItem(keys, QString(p.label)));
    ASSERT_NE(action, nullptr) << p.label;
    EXPECT_EQ(action->message().GetInt32("isCommand", 0), p.key);
    auto* parent = qobject_cast<QMenu*>(action->parent());
    EXPECT_EQ(parent == keys ? QString() : parent->title(), QString(p.submenu ? p.submenu : ""))
        << p.label;
  }
  EXPECT_EQ(FindMenuItem(keys, QString("Kx80")), nullptr);  // not in the reduced set
  EXPECT_EQ(FindMenuItem(keys, QString("<")), nullptr);
}

TEST_F(ShellTest, SettingsPageIsRebuiltOnEveryPrefAndOffersOnlyPresentPorts) {
  Start();
  Prefs::SetText(Settings()->rs232_port, "serial3");
  Window()->SetPortLister([] { return std::vector<std::string>{"serial2", "usb0"}; });
  for (int round = 0; round < 2; ++round) {
    TraceCapture trace;
    Post(kShowSettings);
    ASSERT_TRUE(Window()->SettingsPageShowing());
    EXPECT_EQ(Window()->findChildren<QWidget*>("settView").size(), 1);
    EXPECT_TRUE(Find<QWidget>("PoseView")->isHidden());
    EXPECT_TRUE(trace.Contains("pCom [0:'serial2'] 2\n"));
    QMenu* ports = Find<MenuField>("sepo")->Menu();
    ASSERT_EQ(ports->actions().size(), 5);
    const char* names[] = {"serial1", "serial2", "serial3", "serial4", "usb0"};
    for (int i = 0; i < 5; ++i) {
      QAction* item = ports->actions()[i];
      EXPECT_EQ(item->text(), names[i]);
      EXPECT_EQ(item->isEnabled(), i == 1 || i == 4) << names[i];
      EXPECT_EQ(item->isChecked(), i == 2) << names[i];
    }
    EXPECT_EQ(Find<MenuField>("sepo")->MarkedText(), "serial3");
    EXPECT_EQ(Find<QSlider>("slidder:koruscan")->value(), 40);
    EXPECT_FALSE(FindMenuItem(FileMenu(), kTeachStart)->isEnabled());
    EXPECT_FALSE(FindMenuItem(ViewMenu(), kToggleMiniView)->isEnabled());

    Post(kShowSettings);
    EXPECT_FALSE(Window()->SettingsPageShowing());
    EXPECT_FALSE(Find<QWidget>("PoseView")->isHidden());
    EXPECT_TRUE(FindMenuItem(FileMenu(), kEditPresets)->isEnabled());
  }
  Post(kShowSettings);
  EXPECT_EQ(WithoutMnemonic(Find<QCheckBox>("ScbA")->text()), "Use pimped colors");
  EXPECT_EQ(WithoutMnemonic(Find<QCheckBox>("ScbW")->text()), "On all Workspaces");
  auto* classic = Find<QCheckBox>("ScbT");
  EXPECT_EQ(WithoutMnemonic(classic->text()), "Classic receiver timing");
  EXPECT_FALSE(classic->isChecked());
  classic->click();
  EXPECT_TRUE(Settings()->classic_timing);
  EXPECT_EQ(WithoutMnemonic(Find<QAbstractButton>("sVex")->text()), "Done..");
}

TEST_F(ShellTest, EveryControlOfTheRightColumnCanBeReachedWithOrWithoutThePulseView) {
  Start();
  Window()->resize(Window()->minimumWidth(), Window()->minimumHeight());
  QWidget* pose = Find<QWidget>("PoseView");
  for (const bool pimped : {false, true}) {
    for (const bool pulse_shown : {false, true}) {
      if (Settings()->show_pulse != pulse_shown) Post(kPulseViewToggled);
      if (Settings()->use_pimped != pimped) Post(kColorsToggled);
      Settle();
      for (const char* name : {"hyContinue", "hyCheckBox", "TRBut", "fMute"}) {
        ExpectReachable(
            pose, Find<QWidget>(name),
            std::string(name) + (pulse_shown ? " pulse" : "") + (pimped ? " pimped" : ""));
      }
    }
  }
}

TEST_F(ShellTest, EverySwitchOfTheSettingsPageCanBeClicked) {
  Start();
  Post(kShowSettings);
  QWidget* page = Find<QWidget>("settView");
  const auto checks = page->findChildren<QCheckBox*>();
  ASSERT_GE(checks.size(), 5);
  for (QCheckBox* check : checks) ExpectReachable(page, check, check->text().toStdString());
}

TEST_F(ShellTest, ThePortOfThisRunIsTheOneTheSettingsPageMarks) {
  setup_.port = "usb1";
  Start();
  Post(kShowSettings);
  EXPECT_EQ(Find<MenuField>("sepo")->MarkedText(), "usb1 (this run)");
  int marked = 0;
  for (QAction* item : Find<MenuField>("sepo")->Menu()->actions()) marked += item->isChecked();
  EXPECT_EQ(marked, 1);
}

TEST_F(ShellTest, WithoutAReceiverTheLogAndTheKeyDisplaySaySo) {
  SetReceiverDevices(std::make_shared<FakeReceiverDevices>(std::vector<std::string>{}));
  Start();
  Window()->Receiver()->SetBusyQuestion([](const ReceiverSession::BusyAnswer&) {});
  EXPECT_EQ(Find<QLabel>("irSender")->text(), "No receiver open");
  Post(kNoReceiverPort);  // the receiver thread's report that it has no port
  const QString log = Find<QTextEdit>("text_view")->toPlainText();
  EXPECT_TRUE(log.startsWith("..no port \t\tserial")) << log.toStdString();
}

TEST_F(ShellTest, EveryPrioritySliderChangeIsApplied) {
  Start();
  Post(kShowSettings);
  auto* slider = Find<QSlider>("slidder:koruscan");
  TraceCapture trace;
  slider->triggerAction(QAbstractSlider::SliderPageStepAdd);  // a click on the groove
  Settle();
  EXPECT_TRUE(trace.Contains("Prio:50 "));
  slider->triggerAction(QAbstractSlider::SliderPageStepAdd);  // the keyboard's Page Up
  Settle();
  EXPECT_TRUE(trace.Contains("Prio:60 "));
}

TEST_F(ShellTest, CompactViewRoundTripRestoresTheStoredFrame) {
  Start();
  Prefs* prefs = Settings();
  Window()->resize(699, 230);
  Settle();
  const Rect before = prefs->prefs_window_rect;
  EXPECT_EQ(before.Width(), 699);
  Post(kToggleMiniView);
  ASSERT_TRUE(Window()->MiniViewShowing());
  EXPECT_LT(Window()->width(), 300);
  EXPECT_TRUE(Find<QWidget>("SpBox")->isHidden());
  EXPECT_FALSE(FindMenuItem(IconMenu(), kShowSettings)->isEnabled());
  Window()->move(300, 300);  // moving the compact view keeps the stored frame
  Settle();
  EXPECT_EQ(prefs->prefs_window_rect, before);
  Post(kToggleMiniView);
  EXPECT_FALSE(Window()->MiniViewShowing());
  EXPECT_EQ(Window()->width(), 699);
  EXPECT_EQ(Window()->height(), 230);
  EXPECT_TRUE(FindMenuItem(IconMenu(), kShowSettings)->isEnabled());
}

TEST_F(ShellTest, ClosingInTheCompactViewKeepsThePreviousFrame) {
  Start();
  Prefs* prefs = Settings();
  prefs->prefs_window_rect = Rect{10, 20, 710, 240};
  Post(kToggleMiniView);
  TraceCapture trace;
  app_.reset();
  EXPECT_TRUE(trace.Contains("Winrect not saved \n"));
  EXPECT_EQ(prefs->prefs_window_rect, (Rect{10, 20, 710, 240}));
}

namespace {
class FakeEditor : public PresetEditorControls, public Handler {
 public:
  explicit FakeEditor(int* activations, std::vector<uint32_t>* received)
      : Handler(&looper_), activations_(activations), received_(received) {}
  void Activate() override { ++*activations_; }
  Messenger WindowMessenger() override { return GetMessenger(); }
  void MessageReceived(Message* message) override { received_->push_back(message->what); }

 private:
  static inline ImmediateLooper looper_;
  int* activations_;
  std::vector<uint32_t>* received_;
};
}  // namespace

TEST_F(ShellTest, ApplicationRelaysToOnePresetEditorAndDropsAfterItCloses) {
  Start();
  int made = 0, activations = 0;
  std::vector<uint32_t> received;
  std::vector<std::unique_ptr<FakeEditor>> editors;
  app_->SetPresetEditorFactory([&]() -> PresetEditorControls* {
    ++made;
    editors.push_back(std::make_unique<FakeEditor>(&activations, &received));
    return editors.back().get();
  });
  Message open(kOpenPresetEditor);
  app_->MessageReceived(&open);
  app_->MessageReceived(&open);
  EXPECT_EQ(made, 1);
  EXPECT_EQ(activations, 1);
  Message info(kPresetLabelsChanged);
  app_->MessageReceived(&info);
  EXPECT_EQ(received, std::vector<uint32_t>{kPresetLabelsChanged});
  Message closed(kPresetEditorClosed);
  app_->MessageReceived(&closed);
  app_->MessageReceived(&info);
  EXPECT_EQ(received.size(), 1u);
  TraceCapture trace;
  Message other(kUnknownMessage);
  app_->MessageReceived(&other);
  EXPECT_TRUE(trace.Contains("FB_App Message('zzzz')"));
}

TEST_F(ShellTest, AboutAndMediaListItems) {
  Start();
  TraceCapture trace;
  SetAlertPresenter(nullptr);
  Post(kAboutRequested);
  EXPECT_EQ(trace.Text(), "KORU Version: Beta\n");
  QAction* open = FindMenuItem(FileMenu(), kOpenMediaList);
  QAction* close = FindMenuItem(FileMenu(), kCloseMediaList);
  EXPECT_TRUE(open->isEnabled());
  EXPECT_FALSE(close->isEnabled());
  Post(kMediaListOpened);
  EXPECT_FALSE(open->isEnabled());
  EXPECT_TRUE(close->isEnabled());
  Post(kMediaListNotOpen);
  EXPECT_TRUE(open->isEnabled());
}

// Writes the pictures for the documentation when KORU_SCREENSHOT_DIR names a folder.
TEST_F(ShellTest, Screenshots) {
  const char* folder = std::getenv("KORU_SCREENSHOT_DIR");
  if (folder == nullptr) GTEST_SKIP() << "KORU_SCREENSHOT_DIR not set";
  desktop_report_ = {"x11",
                     {{"keys", "xtest", {}, {}},
                      {"pointer", "xtest", {}, {}},
                      {"workspaces", "ewmh", {}, {}},
                      {"front application", "ewmh", {}, {}},
                      {"windows", "ewmh", {}, {}}}};
  Start();
  SessionShell session(app_.get(), false, "/usr/bin/koru");  // its settings as the program has them
  Settle();
  const std::string base(folder);
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/main-window.png")));
  // The README's picture: LR-SAT's "N1" just recognised.
  Window()->ReceiverReported(ReportOf(CodeText(kLrSat, kLrSatN1, 0)));
  Window()->WaitForActions();
  Settle();
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/main-window-key.png")));
  Post(kToggleMiniView);
  Settle();
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/compact-view.png")));
  Post(kToggleMiniView);
  Post(kShowSettings);
  Settle();
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/settings-page.png")));
  Post(kShowSettings);
  Post(kTeachStart);
  Find<QWidget>("teachBox")->show();
  Find<QWidget>("result")->hide();
  Find<QWidget>("SpBox")->hide();
  Settle();
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/teach-box.png")));
  // A key of an exact code as the teach box shows it.
  const ReceiverReport exact = MakeReceiverReport(
      "-", 0, 0, false, ExactCode{ExactProtocol::kKaseikyo, 0x20020100, 0x3D, 48});
  Window()->ReceiverReported(exact);
  Settle();
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/teach-box-exact.png")));
  // The other looks, for checking by eye that nothing is covered or cut: the pulse view shown,
  // the pimped colours, the denser design.
  Post(kPulseViewToggled);
  Post(kColorsToggled);
  Settle();
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/teach-box-pimped.png")));
  Post(kTeachDone);
  Window()->ReceiverReported(exact);
  Window()->UseAltDesign(2);
  Settle();
  EXPECT_TRUE(Window()->grab().save(QString::fromStdString(base + "/pulse-pimped-dense.png")));
}
