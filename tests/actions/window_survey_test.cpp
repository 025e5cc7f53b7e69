#include "action_fixture.h"

namespace {

using WindowSurveyTest = ActionTest;

TEST_F(WindowSurveyTest, TaskSwitcherLeavesOutServicesAndCycles) {
  // Services are left out; "_server" at the first character does not count.
  for (const char* executable : {"gimp", "x_server", "_server", "media_daemon", "Deskbar",
                                 "registrar", "wstitle2", "device_watcher", "firefox"}) {
    desktop.AddApp(std::string("application/x-vnd.linux-") + executable, executable);
  }
  AppInfo info;
  SwitchApplication(services, &info);
  EXPECT_TRUE(
      trace.Contains("    TEAM: application/x-vnd.linux-gimp\n"
                     " NT>TEAM: application/x-vnd.linux-_server\n"
                     "    TEAM: application/x-vnd.linux-firefox\n"));
  EXPECT_TRUE(trace.Contains("Will activate  1 TEAM: application/x-vnd.linux-_server\n"));
  EXPECT_EQ(info.executable, "_server");

  // Three entries: positions 1, 2, 0, 1, ...
  std::vector<std::string> chosen = {info.executable};
  for (int i = 0; i < 3; ++i) {
    SwitchApplication(services, &info);
    chosen.push_back(info.executable);
  }
  EXPECT_EQ(chosen, (std::vector<std::string>{"_server", "firefox", "gimp", "_server"}));
  EXPECT_EQ(desktop.calls.back(), "activate " + std::to_string(info.team));
}

TEST_F(WindowSurveyTest, TaskSwitcherListsFileManagerWindowsAndRaisesThem) {
  desktop.AddApp(kTrackerSignature, "pcmanfm");
  desktop.AddApp("application/x-vnd.linux-gimp", "gimp");
  desktop.file_manager_windows = {"home", "it's; a folder"};
  SwitchApplication(services,
                    nullptr);  // position 1: the window listed first comes from the highest index
  EXPECT_TRUE(trace.Contains("     WIN: it's; a folder\n NT> WIN: home\n"));
  EXPECT_TRUE(trace.Contains("[ShortTOP][home]\n"));
  EXPECT_EQ(desktop.calls.back(), "raise home");
  EXPECT_TRUE(launcher.calls.empty());

  desktop.file_manager_windows = {"/tmp/gone", "x"};
  desktop.raise_fails = true;
  services.switch_position = 0;
  SwitchApplication(services, nullptr);
  EXPECT_EQ(launcher.calls, (std::vector<std::string>{"open /tmp/gone"}));

  std::vector<std::string> out;
  LookForTrackerWins(services, &out);
  EXPECT_EQ(out, (std::vector<std::string>{" WIN: x", " WIN: /tmp/gone"}));
}

TEST_F(WindowSurveyTest, TaskSwitcherWithNothingChoosesNothing) {
  SwitchApplication(services, nullptr);
  EXPECT_FALSE(trace.Contains("Will activate"));
  EXPECT_EQ(services.switch_position, 0);
}

TEST_F(WindowSurveyTest, CloseOnTheFileManagerProtectsItsLastWindows) {
  struct Case {
    std::vector<std::string> windows;
    bool closes;
    const char* trace;
  };
  const Case cases[] = {
      {{}, false, " .. don't quit Status/Desktop\n"},
      {{"/boot/home/Desktop"}, false, "..quit is forbidden\n"},
      {{"a", "b", "c", "Tracker Status"}, false, "..quit is forbidden\n"},
      {{"home"}, true, "..will close: 'home'\n"},
      {{"a", "b", "c", "home"}, true, "..will close: 'home'\n"},
  };
  desktop.Activate(kTrackerSignature);
  for (const Case& c : cases) {
    desktop.sent.clear();
    trace.Clear();
    desktop.file_manager_windows = c.windows;
    CloseFrontWindow(services);
    EXPECT_TRUE(trace.Contains(c.trace)) << trace.Text();
    EXPECT_EQ(SentSummary(),
              c.closes ? std::vector<std::string>{"window* '_QRQ'"} : std::vector<std::string>{});
  }
}

TEST_F(WindowSurveyTest, CloseNeverQuitsProtectedApplications) {
  struct Case {
    const char* signature;
    const char* trace;
  };
  const Case cases[] = {{kDeskbarSignature, ".. don't quit the deskbar\n"},
                        {kTerminalSignature, ".. don't quit a Terminal\n"},
                        {kWorkspacesSignature, ".. don't quit WorkspaceWin\n"}};
  for (const Case& c : cases) {
    desktop.Activate(c.signature);
    CloseFrontWindow(services);
    EXPECT_TRUE(trace.Contains(c.trace));
  }
  EXPECT_TRUE(desktop.sent.empty());

  // KORU itself: Eject acts as OK.
  desktop.Activate(kKoruSignature);
  CloseFrontWindow(services);
  EXPECT_TRUE(trace.Contains(".. don't quit myself\n"));
  ASSERT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD'", "window '_KYU'"}));
  EXPECT_EQ(desktop.sent[0].message.GetInt32("key", 0), 0x5b);

  desktop.sent.clear();
  desktop.Activate("application/x-vnd.linux-gimp");
  CloseFrontWindow(services);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{"app:application/x-vnd.linux-gimp '_QRQ'"}));
  EXPECT_TRUE(trace.Contains("\n  Quit to: application/x-vnd.linux-gimp "));
}

}  // namespace
