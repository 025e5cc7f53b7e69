#include "action_fixture.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

using WindowSurveyTest = ActionTest;

TEST_F(WindowSurveyTest, TaskSwitcherLeavesOutServicesAndCycles) {
  SwitchApplication(services, nullptr);  // with nothing running, nothing is chosen
  EXPECT_FALSE(trace.Contains("Will activate"));
  EXPECT_EQ(services.switch_position, 0);
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

TEST_F(WindowSurveyTest, CloseNeverQuitsProtectedApplications) {
  for (const auto& row : ReadTable("actions/data/closing.tsv", 4)) {
    desktop.sent.clear();
    trace.Clear();
    desktop.Activate(row[0]);
    desktop.file_manager_windows = CellList(row[1], '|');
    CloseFrontWindow(services);
    EXPECT_TRUE(trace.Contains(Unescaped(row[2]))) << row[0] << "\n" << trace.Text();
    EXPECT_EQ(SentSummary(), CellList(row[3], '|')) << row[0] << " " << row[1];
  }
}

}  // namespace

}  // namespace koru
