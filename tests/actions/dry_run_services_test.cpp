// A dry run: every action is traced as what it would do, and the desktop is left as it was.
#include "actions/dry_run_services.h"

#include <fstream>
#include <functional>

#include "action_fixture.h"
#include "temp_dir.h"

namespace koru {

namespace {

using DryRunServicesTest = ActionTest;

TEST_F(DryRunServicesTest, ActionsAreTracedAsWouldAndLeaveTheDesktopAsItWas) {
  TempDir dir;
  const std::filesystem::path song = dir.Path() / "song.ogg";
  { std::ofstream(song) << "x"; }
  DesktopServices real{std::make_unique<FakeLauncher>(), std::make_unique<FakeDesktop>(),
                       std::make_unique<FakeMediaPlayers>(), std::make_unique<FakeMixer>()};
  auto& real_launcher = static_cast<FakeLauncher&>(*real.launcher);
  auto& real_desktop = static_cast<FakeDesktop&>(*real.desktop);
  auto& real_mixer = static_cast<FakeMixer&>(*real.mixer);
  real_desktop.Activate("application/x-vnd.linux-gedit");
  real_desktop.calls.clear();
  DesktopServices dry = DryRunServices(std::move(real));
  EXPECT_TRUE(trace.Contains("dry run: actions are traced as \"would ...\" and not done"));
  services = ActionServicesFor(dry);
  Indicator indicator;

  const struct {
    std::string traced;
    std::function<void()> action;
  } cases[] = {
      {"would switch to workspace 3", [&] { IJumpWorkSpace(services, 54); }},
      {"would send '_KYD' key=", [&] { IKeypress2App(services, 61); }},
      {"would mute the master output", [&] { IMuteSound(services, false, &indicator); }},
      {"would unmute the master output", [&] { IMuteSound(services, false, &indicator); }},
      {"would open '" + song.string() + "'", [&] { IOpenThisFile(services, song, true); }},
      {"would open the web address 'https://example.org/'",
       [&] { IOpenThisUrl(services, "https://example.org/", true); }},
  };
  for (const auto& c : cases) {
    TraceCapture trace;
    c.action();
    EXPECT_TRUE(trace.Contains(c.traced)) << c.traced << "\n" << trace.Text();
  }
  EXPECT_TRUE(real_desktop.calls.empty()) << real_desktop.calls.front();
  EXPECT_TRUE(real_desktop.sent.empty());
  EXPECT_EQ(real_mixer.writes, 0);
  EXPECT_TRUE(real_launcher.calls.empty());

  // The button shows the run's own mute, and takes over a change made by another program.
  IMuteSound(services, false, &indicator);
  EXPECT_TRUE(indicator.shown);
  EXPECT_FALSE(real_mixer.muted);
  bool reported = true;
  ASSERT_TRUE(services.mixer->WatchMute([&](bool muted) { reported = muted; }));
  real_mixer.ChangeElsewhere(false);
  EXPECT_FALSE(reported);
  IMuteSound(services, true, &indicator);
  EXPECT_FALSE(indicator.shown);
}

}  // namespace

}  // namespace koru
