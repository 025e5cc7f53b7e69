// KORU in the desktop session: the tray icon's menu and tool tip, closing to the tray, and the
// autostart entry.
#include <QCloseEvent>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>

#include "shell/autostart_entry.h"
#include "shell/session_shell.h"
#include "shell/tray_icon.h"
#include "shell_fixture.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

namespace {

TEST(TrayIcon, MenuShowsTheWindowAndQuitsAndTheToolTipTellsTheReceiverAndTheLastKey) {
  MessageRecorder app;
  SetAppMessenger(app.GetMessenger());
  QWidget window;
  TrayIcon tray(&window, true);
  EXPECT_EQ(MenuText(tray.Menu()), "Show KORU, Layout, --, Quit");
  ASSERT_FALSE(window.isVisible());
  tray.Menu()->findChild<QAction*>("trayShow")->trigger();
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(app.codes.empty());
  tray.Menu()->findChild<QAction*>("trayRemote")->trigger();
  tray.Menu()->findChild<QAction*>("trayQuit")->trigger();
  EXPECT_EQ(app.codes, (std::vector<uint32_t>{kOpenVirtualRemote, kQuitRequested}));
  SetAppMessenger(Messenger());

  // Open and last key through the main window: SessionShellTest.
  EXPECT_EQ(tray.ToolTip(), "KORU\nreceiver: no port");
  tray.SetReceiverState("serial1", true);
  tray.SetLastKey("LR-SAT", "N1");
  tray.SetReceiverState("", false);
  EXPECT_EQ(tray.ToolTip(), "KORU\nreceiver: no port\nlast key: LR-SAT N1");
}

TEST(TrayIcon, ClosingHidesTheWindowOnlyWhileTheIconIsShownAndTheSwitchIsOn) {
  for (const auto& [shown, to_tray, closes] :
       {std::tuple{true, true, false}, {true, false, true}, {false, true, true}}) {
    QWidget window;
    TrayIcon tray(&window, shown);
    tray.SetCloseToTray(to_tray);
    window.show();
    QCloseEvent close;
    QApplication::sendEvent(&window, &close);
    EXPECT_EQ(close.isAccepted(), closes) << shown << to_tray;
    EXPECT_FALSE(!closes && window.isVisible()) << "hidden in the tray";
  }
}

// Records whether a close reached the window itself.
class ClosingWindow : public QWidget {
 public:
  bool closed = false;

 protected:
  void closeEvent(QCloseEvent* event) override {
    closed = true;
    event->accept();
  }
};

TEST(TrayIcon, QuitClosesTheWindowForGoodAndEndsTheProgram) {
  ClosingWindow window;
  QWidget tray_window;  // on X11 the tray draws the icon in a window of KORU's own
  TrayIcon tray(&window, true);
  window.show();
  tray_window.show();
  QTimer::singleShot(0, &window, [&window] {
    QCoreApplication::quit();
    // A next turn of the loop comes only when the quit was refused.
    QTimer::singleShot(0, &window, [] { QCoreApplication::exit(7); });
  });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(window.closed) << "hidden into the tray instead, which stops the quit";
  EXPECT_FALSE(tray_window.isVisible());
}

// The entry in the autostart folder: what the desktop reads (checked by the validator where it
// is installed, as on CI), the program and the run's program folder one argument each.
TEST(AutostartEntry, IsWrittenAndRemovedWithTheProgramAsOneArgumentWhateverItsPathHolds) {
  const bool validator = std::system("command -v desktop-file-validate >/dev/null") == 0;
  for (const auto& c : ReadTable("shell/data/autostart_exec.tsv", 2)) {
    TempDir config;
    AutostartEntry entry(config.Path(), c[0], CellList(c.size() > 2 ? c[2] : "", '|'));
    EXPECT_EQ(entry.Path(), config.Path() / "autostart" / "org.koru.KORU.desktop");
    EXPECT_FALSE(entry.Enabled());
    ASSERT_TRUE(entry.SetEnabled(true));  // makes the folder
    EXPECT_TRUE(entry.Enabled());
    const std::string text = ReadAll(entry.Path());
    EXPECT_EQ(text.rfind("[Desktop Entry]\nType=Application\nName=KORU\n", 0), 0u) << text;
    EXPECT_NE(text.find(c[1] + "\n"), std::string::npos) << c[0] << "\n" << text;
    if (validator) {
      EXPECT_EQ(std::system(("desktop-file-validate '" + entry.Path().string() + "'").c_str()), 0)
          << text;
    }
    ASSERT_TRUE(entry.SetEnabled(false));
    EXPECT_FALSE(entry.Enabled());
    EXPECT_TRUE(entry.SetEnabled(false)) << "removing what is gone is no failure";
  }
}

using SessionShellTest = ShellTest;

TEST_F(SessionShellTest, TrayFollowsTheReportsAndTheSettingsPageOffersBothSwitches) {
  Start();
  SessionShell session(app_.get(), false, "/usr/bin/koru");
  EXPECT_EQ(session.Tray()->ToolTip(), "KORU\nreceiver: serial2 open");

  Key(kLrSat, kLrSatN1);  // the tray tells what the window recognised
  EXPECT_EQ(session.Tray()->ToolTip(), "KORU\nreceiver: serial2 open\nlast key: LR-SAT N1");

  Post(kShowSettings);
  EXPECT_EQ(Which("closeTray autoStart", "enabled"), "autoStart")
      << "without a tray, closing always ends KORU";
  const std::filesystem::path entry =
      home_.Path() / "config" / "autostart" / "org.koru.KORU.desktop";
  // The page is built anew on every visit and shows what is on disk.
  for (const bool on : {true, false}) {
    EXPECT_NE(Find<QCheckBox>("autoStart")->isChecked(), on);
    Find<QCheckBox>("autoStart")->click();
    EXPECT_EQ(std::filesystem::exists(entry), on);
    Post(kShowSettings);
    Post(kShowSettings);
  }
}

TEST_F(SessionShellTest, TheSettingsPageAndTheLogSayWhatTheDesktopCannotDo) {
  desktop_report_ = {"wayland (GNOME)",
                     {{"keys", "portal", {}, {}},
                      {"pointer", "portal", {}, {}},
                      {"workspaces", "gnome-keys", {}, {}},
                      {"front application", {}, "the accessibility bus does not run", ""},
                      {"windows", {}, "GNOME lets no other program list them", "Use X11."}}};
  Start();
  SessionShell session(app_.get(), false, "/usr/bin/koru");
  EXPECT_NE(
      Log().find("Not possible on this desktop (wayland (GNOME)): front application, windows"),
      std::string::npos)
      << Log();
  EXPECT_NE(Log().find("the desktop asks you once"), std::string::npos) << Log();

  Post(kShowSettings);
  auto* state = Find<QLabel>("desktopState");
  ASSERT_NE(state, nullptr);
  // The label's text, then its tool tip, which the details box shows.
  EXPECT_EQ((state->text() + "\n" + state->toolTip() + "\n").toStdString(),
            ReadAll(KORU_SOURCE_DIR "/tests/shell/data/desktop_state.txt"));
  emit state->linkActivated("details");
  auto* details = Window()->findChild<QMessageBox*>("desktopDetails");
  ASSERT_NE(details, nullptr);
  EXPECT_EQ(details->text(), state->toolTip());
  if (ScreenshotFolder() != nullptr) Screenshot(Window(), "settings-page-wayland");
}

}  // namespace

}  // namespace koru
