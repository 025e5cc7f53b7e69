#include <gtest/gtest.h>

#include <fstream>

#include "platform/desktop/desktop_messages.h"
#include "platform/desktop/no_desktop.h"
#include "platform/desktop_services.h"
#include "platform/launcher/desktop_entry.h"
#include "platform/media/mpris_players.h"
#include "platform/messaging/trace.h"
#include "table_cells.h"
#include "temp_dir.h"
#include "test_files.h"

namespace koru {

namespace {

TEST(DesktopEntry, ExecLinesBecomeArgumentVectors) {
  for (const auto& row : ReadTable("platform/data/desktop_exec.tsv", 3))
    EXPECT_EQ(ExpandDesktopExec(Unescaped(row[0]), CellList(row[1], '|')), CellList(row[2], '|'))
        << row[0];
}

TEST(DesktopEntry, FoundInTheDataFoldersAndReadFromItsGroup) {
  TempDir data;
  ScopedEnv home("XDG_DATA_HOME", data.Path().c_str());
  ScopedEnv dirs("XDG_DATA_DIRS", "/nonexistent");
  std::filesystem::create_directories(data.Path() / "applications" / "org");
  std::ofstream(data.Path() / "applications" / "org" / "player.desktop")
      << "[Desktop Action x]\nExec=wrong\n[Desktop Entry]\nName=P\nExec=player %U\n";
  auto file = FindDesktopEntry("org-player.desktop");
  ASSERT_TRUE(file);
  EXPECT_EQ(ReadDesktopExec(*file), "player %U");
  EXPECT_FALSE(FindDesktopEntry("../etc/passwd"));
  EXPECT_FALSE(FindDesktopEntry("missing.desktop"));
}

TEST(NoDesktop, WithoutDisplayEveryRequestIsTracedAndNothingHappens) {
  ScopedEnv display("DISPLAY", nullptr);
  ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
  TraceCapture trace;
  DesktopServices services = CreateDesktopServices();
  ASSERT_NE(dynamic_cast<NoDesktop*>(services.desktop.get()), nullptr);
  EXPECT_TRUE(trace.Contains("DISPLAY is not set"));
  EXPECT_NE(services.desktop->SendMessage(MessageTarget::ActiveWindow(), Message(kKeyDown)), kOk);
  EXPECT_TRUE(trace.Contains("no desktop (DISPLAY is not set): cannot send '_KYD'\n"));
  services.desktop->ActivateWorkspace(2);
  EXPECT_TRUE(trace.Contains("cannot switch the workspace"));
  EXPECT_EQ(services.desktop->CurrentWorkspace(), 0);
  EXPECT_TRUE(services.desktop->RunningApps().empty());
}

TEST(MprisPlayers, WithNoBusToReachItSaysSoAtOnceAndWithOneItConnectsWhenFirstAsked) {
  TempDir runtime;  // no "bus" socket in it
  ScopedEnv display("DISPLAY", nullptr);
  ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.Path().c_str());
  const SignatureTable table = SignatureTable::Parse("");
  {
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", nullptr);
    TraceCapture trace;
    MprisPlayers players(table);
    EXPECT_TRUE(trace.Contains("MPRIS: no session bus")) << trace.Text();
    EXPECT_TRUE(players.RunningPlayers().empty());
  }
  {
    // An address: nothing is tried until a player is asked for, then the failure is said.
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    TraceCapture trace;
    MprisPlayers players(table);
    EXPECT_FALSE(trace.Contains("MPRIS")) << trace.Text();
    EXPECT_TRUE(players.RunningPlayers().empty());
    EXPECT_TRUE(trace.Contains("MPRIS: no session bus")) << trace.Text();
    EXPECT_EQ(players.Quit("application/x-vnd.anything"), kEntryNotFound);
  }
}

}  // namespace

}  // namespace koru
