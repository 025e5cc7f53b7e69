// The desktop actions on the real stack that run_system_tests.sh starts: Xvfb + openbox, a
// private session bus with test MPRIS players, PulseAudio with a null sink, and a test handler
// for files and URLs.
#include <gtest/gtest.h>
#include <unistd.h>

#include "actions/action_fixture.h"
#include "actions/action_messages.h"
#include "actions/action_thread.h"
#include "actions/actions.h"
#include "actions/desktop_pointer_view.h"
#include "platform/desktop/x11_probe_window.h"
#include "platform/desktop_services.h"
#include "platform/media/media_messages.h"
#include "system_test_support.h"
#include "table_cells.h"

namespace koru {

namespace {

using namespace system_test;
namespace fs = std::filesystem;

// The next `count` key events the probe gets, and any more that come within half a second after
// them: "press|release KEYSYM STATE", the state's modifiers as X has them (shift 0x1, ctrl 0x4,
// alt 0x8), as key_client.py logs them.
std::string KeysSeen(X11ProbeWindow& probe, int count) {
  std::string seen;
  for (int i = 0; auto key = probe.WaitForKey(i < count ? 3000 : 500); ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "%s 0x%x 0x%x\n", key->press ? "press" : "release",
                  key->keysym, key->state & 0xd);
    seen += line;
  }
  return seen;
}

class SystemTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { stack_ = new DesktopServices(CreateDesktopServices()); }
  static void TearDownTestSuite() {
    delete stack_;
    stack_ = nullptr;
  }
  SystemTest() : services_(ActionServicesFor(*stack_)) {}

  // A window of this process, and so KORU's own, active.
  void OpenProbe(const char* title) {
    probe_ = X11ProbeWindow::Open(title);
    ASSERT_TRUE(probe_);
    ASSERT_TRUE(ActiveIs(kKoruSignature));
  }

  bool ActiveIs(const std::string& signature) {
    return Eventually([&] {
      AppInfo active;
      return services_.desktop->ActiveApp(&active) && active.signature == signature;
    });
  }

  static DesktopServices* stack_;
  ActionServices services_;
  std::unique_ptr<X11ProbeWindow> probe_;
};

DesktopServices* SystemTest::stack_ = nullptr;

TEST_F(SystemTest, WorkspaceSwitches) {
  Desktop* desktop = services_.desktop;
  ASSERT_GE(desktop->CountWorkspaces(), 2);
  IJumpWorkSpace(services_, 53);  // digit 2: the second workspace
  EXPECT_TRUE(Eventually([&] { return desktop->CurrentWorkspace() == 1; }));
  IJumpWorkSpace(services_, 52);
  EXPECT_TRUE(Eventually([&] { return desktop->CurrentWorkspace() == 0; }));
}

TEST_F(SystemTest, KeyStrokesReachTheActiveWindowWithTheirModifiers) {
  ASSERT_NO_FATAL_FAILURE(OpenProbe("KORU probe"));
  probe_->Drain();

  IKeypress2App(services_, 61);  // "up": cursor up, then released
  EXPECT_EQ(KeysSeen(*probe_, 2), "press 0xff52 0x0\nrelease 0xff52 0x0\n");
  IAltPlusMinus(services_, 65);  // Alt + keypad minus, nothing left held
  EXPECT_EQ(KeysSeen(*probe_, 4),
            "press 0xffe9 0x0\npress 0xffad 0x8\nrelease 0xffad 0x8\nrelease 0xffe9 0x8\n");
}

TEST_F(SystemTest, PointerStepsSixteenPixels) {
  ASSERT_NO_FATAL_FAILURE(OpenProbe("KORU pointer"));
  Desktop* desktop = services_.desktop;
  desktop->SetPointerPosition({300, 300});
  ASSERT_EQ(desktop->PointerPosition(), (ScreenPoint{300, 300}));
  DesktopPointerView view(desktop, {40, 50});
  IMoveMouse(services_, {40, 50}, 64, &view, nullptr);
  EXPECT_EQ(desktop->PointerPosition(), (ScreenPoint{316, 300}));
  IMoveMouse(services_, {40, 50}, 61, &view, nullptr);
  EXPECT_EQ(desktop->PointerPosition(), (ScreenPoint{316, 284}));
}

TEST_F(SystemTest, AnotherApplicationGetsKeysAndIsAskedToQuit) {
  // key_client.py, a window that logs the keys it gets; by its window class ("korukeys" unless
  // given) it stands for an application of the signature table of run_system_tests.sh.
  FakeService client("key_client.py", "pdf-keys.log");
  ASSERT_TRUE(client.Ready());
  ASSERT_TRUE(ActiveIs(kPdfViewerSignature));
  // The PDF viewer's "up" is Page Up.
  for (const auto& [key, seen] : {
           std::pair{61, "press 0xff55 0x0\nrelease 0xff55 0x0"},
           {96, "press 0xff0d 0x8"},  // "[]": Enter with Command (Alt) held
           {62, "press 0xff56 0x0"},  // Page Down
           {70, "press 0xff09 0x0"},  // no PDF row for "Tab": the general table
           {81, "closed"},            // "Eject": the whole application is asked to quit
       }) {
    IKeypress2App(services_, key);
    EXPECT_TRUE(client.WaitFor(seen)) << key << "\n" << client.Log();
  }
  EXPECT_TRUE(client.Finished());
}

TEST_F(SystemTest, MediaPlayerGetsItsKeyAndKoruComesBack) {
  ASSERT_NO_FATAL_FAILURE(OpenProbe("KORU main"));
  FakeService client("key_client.py", "media-keys.log", {"korumedia"});  // the media player
  ASSERT_TRUE(client.Ready());
  ASSERT_TRUE(ActiveIs(kMediaPlayerSignature));
  ASSERT_EQ(services_.desktop->Activate(getpid()), kOk);
  ASSERT_TRUE(ActiveIs(kKoruSignature));

  IAudioApps(services_, 61);  // "up": Page Up to the player, then KORU is active again
  EXPECT_TRUE(client.WaitFor("press 0xff55 0x0")) << client.Log();
  EXPECT_TRUE(ActiveIs(kKoruSignature));
}

TEST_F(SystemTest, TabSwitchesBetweenApplications) {
  ASSERT_NO_FATAL_FAILURE(OpenProbe("KORU tab"));
  FakeService client("key_client.py", "tab-keys.log");  // the PDF viewer
  ASSERT_TRUE(client.Ready());
  ASSERT_TRUE(ActiveIs(kPdfViewerSignature));
  // Two entries in client list order (KORU, the viewer): the switch takes the other one in turn.
  services_.switch_position = 1;
  for (const char* signature : {kKoruSignature, kPdfViewerSignature}) {
    AppInfo chosen;
    SwitchApplication(services_, &chosen);
    EXPECT_EQ(chosen.signature, signature);
    EXPECT_TRUE(ActiveIs(signature));
  }
}

// Each row of data/player_scenarios.tsv.
TEST_F(SystemTest, PlayerVerbsAndKeysReachEveryInstanceAndPlayLaunchesThePlayer) {
  for (const auto& row : ReadTable("system/data/player_scenarios.tsv", 3)) {
    SCOPED_TRACE(row[0] + " / " + row[1]);
    std::optional<FakeService> player;
    fs::path log = Work() / "launched-player.log";
    fs::remove(log);
    if (!row[0].empty()) {
      QStringList names;
      for (const std::string& name : CellList(row[0])) names << QString::fromStdString(name);
      player.emplace("mpris_test_player.py", "player.log", names, "- ready");
      ASSERT_TRUE(player->Ready());
      log = Work() / "player.log";
    }
    for (const std::string& step : CellList(row[1])) {
      const std::string what = step.substr(step.find(':') + 1);
      if (step == "close")
        ICloseMediaApp(services_);
      else if (step.starts_with("do:"))
        DoCommand(services_, FourCCOf(what));
      else if (step.starts_with("audio:"))
        IAudioApps(services_, std::stoi(what));
      else
        IVideoApps(services_, std::stoi(what));
    }
    for (const std::string& call : CellList(row[2], '|'))
      EXPECT_TRUE(LogGets(log, "org.mpris.MediaPlayer2." + call)) << call << "\n" << ReadAll(log);
  }
}

TEST_F(SystemTest, MasterMuteToggles) {
  Indicator light;
  const std::string query = "pactl get-sink-mute @DEFAULT_SINK@";
  ASSERT_EQ(Command(query), "Mute: no\n");
  // A query, then two toggles.
  for (const auto& [query_only, muted] : {std::pair{true, false}, {false, true}, {false, false}}) {
    IMuteSound(services_, query_only, &light);
    EXPECT_EQ(Command(query), muted ? "Mute: yes\n" : "Mute: no\n");
    EXPECT_EQ(light.shown, muted);
  }
}

TEST_F(SystemTest, UrlsAndFilesReachTheirHandlerAsSingleArguments) {
  fs::path log = Work() / "handler.log";
  fs::remove(log);
  const std::string url = "http://example.org/?q=it's;echo\"x\"`id`$(id)";
  IOpenThisUrl(services_, "look at " + url + " please", false);
  EXPECT_TRUE(LogGets(log, url + '\0')) << ReadAll(log);

  fs::remove(log);
  fs::path file = fs::path(std::getenv("HOME")) / "it's; a \"note\" $(id).txt";
  std::ofstream(file) << "text";
  IOpenThisFile(services_, file.string(), true);
  EXPECT_TRUE(LogGets(log, file.string() + '\0')) << ReadAll(log);
}

TEST_F(SystemTest, ActionThreadRunsActionsInKeyOrder) {
  FakeService player("mpris_test_player.py", "thread.log", {"korutest"}, "- ready");
  ASSERT_TRUE(player.Ready());
  ActionThread actions(services_);
  actions.Post([](ActionServices& s) { IJumpWorkSpace(s, 54); });
  actions.Post([](ActionServices& s) { DoCommand(s, kPlayerNext); });
  actions.Post([](ActionServices& s) { DoCommand(s, kPlayerPrevious); });
  actions.Post([](ActionServices& s) { IJumpWorkSpace(s, 52); });
  actions.WaitIdle();
  // The second switch saw the first one done: it went back to workspace 0.
  EXPECT_TRUE(Eventually([&] { return services_.desktop->CurrentWorkspace() == 0; }));
  const std::string name = "org.mpris.MediaPlayer2.korutest ";
  ASSERT_TRUE(player.WaitFor(name + "Previous"));
  std::string log = player.Log();
  EXPECT_LT(log.find(name + "Next"), log.find(name + "Previous"));
}

}  // namespace

}  // namespace koru
