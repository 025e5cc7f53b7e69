#include <QMenuBar>
#include <QShortcut>
#include <QSlider>
#include <set>

#include "shell/session_shell.h"
#include "shell_fixture.h"

namespace koru {

namespace {

// What the mouse hits at the control's centre is the control itself, inside its parent.
void ExpectReachable(QWidget* parent, QWidget* control, const std::string& what) {
  EXPECT_TRUE(parent->rect().contains(control->geometry())) << what;
  EXPECT_EQ(parent->childAt(control->geometry().center()), control) << what;
}

}  // namespace

TEST_F(ShellTest, FirstStartPreparesTheFoldersAndBuildsEveryControl) {
  Start();
  for (const char* folder : {"_Remotes_", "Language", "Language/Dictionaries"})
    EXPECT_TRUE(std::filesystem::is_directory(Program() / folder)) << folder;
  for (const auto& control : ReadTable("shell/data/main_window_controls.tsv", 2))
    EXPECT_EQ(TextOf(Find<QWidget>(control[0].c_str())), control[1]) << control[0];
  EXPECT_EQ(
      Which("PoseView text_view scroll_view teachBox MiniView miniType miniRem miniKey", "showing"),
      "PoseView text_view scroll_view miniType miniRem miniKey");
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
    for (QAction* item : title->menu()->actions())
      EXPECT_TRUE(item->isSeparator() || menu_letters.insert(letter(item->text())).second)
          << item->text().toStdString();
  }
  for (const char* name : {"TRBut", "fMute", "hyContinue", "hyCheckBox", "ReSplit"})
    EXPECT_TRUE(window_letters.insert(letter(Find<QAbstractButton>(name)->text())).second) << name;
  auto* f10 = Window()->findChild<QShortcut*>("menuKey");
  ASSERT_NE(f10, nullptr);
  EXPECT_EQ(f10->key(), QKeySequence(Qt::Key_F10));
  emit f10->activated();
  EXPECT_EQ(bar->activeAction(), bar->actions().first());
}

TEST_F(ShellTest, MenusCarryTheirMessagesAndTheKeyMenuGroupsTheReducedKeys) {
  Start();
  for (const auto& row : ReadTable("shell/data/menu_messages.tsv", 3)) {
    auto* action = qobject_cast<MessageAction*>(
        FindMenuItem(Find<QMenu>(row[0].c_str()), QString::fromStdString(row[1])));
    EXPECT_EQ(action ? action->What() : 0, FourCCOf(row[2])) << row[1];
  }
  // Label, then the submenu it is in ("" for the top level) and its key function; the keys
  // outside the reduced set are in no menu.
  QMenu* keys = Find<MenuField>("teMF")->Menu();
  for (const auto& row : ReadTable("shell/data/key_menu.tsv", 1)) {
    auto* action = qobject_cast<MessageAction*>(FindMenuItem(keys, QString::fromStdString(row[0])));
    if (row.size() == 1) {
      EXPECT_EQ(action, nullptr) << row[0];
      continue;
    }
    ASSERT_NE(action, nullptr) << row[0];
    auto* parent = qobject_cast<QMenu*>(action->parent());
    EXPECT_EQ((parent == keys ? "" : parent->title().toStdString()) + " " +
                  std::to_string(action->message().GetInt32("isCommand", 0)),
              row[1] + " " + row[2]);
  }
}

TEST_F(ShellTest, SettingsPageIsRebuiltOnEveryPrefAndOffersOnlyPresentPorts) {
  Start();
  Prefs::SetText(Settings()->rs232_port, "serial3");
  Window()->SetPortLister([] { return std::vector<std::string>{"serial2", "usb0"}; });
  TraceCapture trace;
  for (int round = 0; round < 2; ++round) RunSteps("shell/data/settings_page.steps");
  EXPECT_TRUE(trace.Contains("pCom [0:'serial2'] 2\n"));
  Post(kShowSettings);
  EXPECT_EQ(Window()->findChildren<QWidget*>("settView").size(), 1);
  RunSteps("shell/data/main_window.steps", "switches");
  EXPECT_TRUE(Settings()->classic_timing);
  // Every change of the priority slider is applied: a click on the groove, then Page Up.
  EXPECT_EQ(Find<QSlider>("slidder:koruscan")->value(), 40);
  for (const char* applied : {"Prio:50 ", "Prio:60 "}) {
    Find<QSlider>("slidder:koruscan")->triggerAction(QAbstractSlider::SliderPageStepAdd);
    Settle();
    EXPECT_TRUE(trace.Contains(applied)) << applied;
  }
}

TEST_F(ShellTest, EveryControlOfTheRightColumnAndEverySwitchOfTheSettingsPageCanBeClicked) {
  Start();
  Window()->resize(Window()->minimumWidth(), Window()->minimumHeight());
  for (const bool pimped : {false, true}) {
    for (const bool pulse_shown : {false, true}) {
      if (Settings()->show_pulse != pulse_shown) Post(kPulseViewToggled);
      if (Settings()->use_pimped != pimped) Post(kColorsToggled);
      Settle();
      for (const char* name : {"hyContinue", "hyCheckBox", "TRBut", "fMute"})
        ExpectReachable(
            Find<QWidget>("PoseView"), Find<QWidget>(name),
            std::string(name) + (pulse_shown ? " pulse" : "") + (pimped ? " pimped" : ""));
    }
  }
  Post(kShowSettings);
  QWidget* page = Find<QWidget>("settView");
  const auto checks = page->findChildren<QCheckBox*>();
  ASSERT_GE(checks.size(), 5);
  for (QCheckBox* check : checks) ExpectReachable(page, check, check->text().toStdString());
}

TEST_F(ShellTest, ThePortOfThisRunIsTheOneTheSettingsPageMarks) {
  setup_.port = "usb1";
  Start();
  RunSteps("shell/data/main_window.steps", "port of this run");
}

TEST_F(ShellTest, WithoutAReceiverTheLogAndTheKeyDisplaySaySo) {
  SetReceiverDevices(std::make_shared<FakeReceiverDevices>(std::vector<std::string>{}));
  Start();
  Window()->Receiver()->SetBusyQuestion([](const ReceiverSession::BusyAnswer&) {});
  RunSteps("shell/data/main_window.steps", "no receiver");
}

TEST_F(ShellTest, CompactViewRoundTripRestoresTheStoredFrameAndClosingInItKeepsThatFrame) {
  Start();
  Window()->resize(699, 230);
  Settle();
  const Rect before = Settings()->prefs_window_rect;
  EXPECT_EQ(before.Width(), 699);
  RunSteps("shell/data/main_window.steps", "compact view");
  ASSERT_TRUE(Window()->MiniViewShowing());
  EXPECT_LT(Window()->width(), 300);
  Window()->move(300, 300);  // moving the compact view keeps the stored frame
  Settle();
  EXPECT_EQ(Settings()->prefs_window_rect, before);
  RunSteps("shell/data/main_window.steps", "full view");
  EXPECT_FALSE(Window()->MiniViewShowing());
  EXPECT_EQ(Window()->size(), QSize(699, 230));

  const Rect restored = Settings()->prefs_window_rect;
  Post(kToggleMiniView);
  TraceCapture trace;
  app_.reset();
  EXPECT_TRUE(trace.Contains("Winrect not saved \n"));
  EXPECT_EQ(Settings()->prefs_window_rect, restored);
}

TEST_F(ShellTest, Screenshots) {
  if (ScreenshotFolder() == nullptr) GTEST_SKIP() << "KORU_SCREENSHOT_DIR not set";
  desktop_report_ = {"x11",
                     {{"keys", "xtest", {}, {}},
                      {"pointer", "xtest", {}, {}},
                      {"workspaces", "ewmh", {}, {}},
                      {"front application", "ewmh", {}, {}},
                      {"windows", "ewmh", {}, {}}}};
  Start();
  SessionShell session(app_.get(), false, "/usr/bin/koru");  // its settings as the program has them
  RunSteps("shell/data/screenshots.steps", "main window");
  // A key of an exact code as the teach box shows it, in every look.
  const ReceiverReport exact = MakeReceiverReport(
      "-", 0, 0, false, ExactCode{ExactProtocol::kKaseikyo, 0x20020100, 0x3D, 48});
  Window()->ReceiverReported(exact);
  RunSteps("shell/data/screenshots.steps", "exact code");
  Window()->ReceiverReported(exact);
  Window()->UseAltDesign(2);
  Screenshot(Window(), "pulse-pimped-dense");
}

}  // namespace koru
