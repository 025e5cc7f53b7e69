// The compositor adapters against fakes on the private session bus that run_system_tests.sh
// starts: a fake KWin of Plasma 5 and 6 that runs KORU's window scripts in node
// (kwin_script_host.js), and a fake accessibility bus that sends window events.
#include <gtest/gtest.h>

#include "platform/desktop/fake_wayland_parts.h"
#include "platform/desktop/gnome_compositor.h"
#include "platform/desktop/kwin_compositor.h"
#include "platform/messaging/trace.h"
#include "system_test_support.h"

namespace koru {

void PrintTo(const CompositorWindow& window, std::ostream* out) {
  *out << "{" << window.id << ", pid " << window.pid << ", " << window.app_id << ", "
       << window.instance << ", \"" << window.title << "\"" << (window.focused ? ", focused" : "")
       << "}";
}

namespace {

using namespace system_test;
using Fake = FakeService;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

class KWinTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ASSERT_EQ(std::system("node --version >/dev/null 2>&1"), 0)
        << "the KWin tests run KORU's window script in node (Debian package nodejs)";
  }

  // Starts the fake KWin of this test's Plasma with three windows and three desktops.
  void StartKWin(bool silent = false) {
    const auto file = [](const std::filesystem::path& path) {
      return QString::fromStdString(path.string());
    };
    kwin_ = std::make_unique<Fake>(
        "fake_kwin.py", "kwin.log",
        QStringList{file(Scripts() / "kwin_state.json"), file(Scripts() / "kwin_script_host.js"),
                    QString::number(GetParam())} +
            (silent ? QStringList{"silent"} : QStringList{}));
    ASSERT_TRUE(kwin_->Ready());
    std::string why_not;
    // Reports come from node started by python: generous, unless none will ever come.
    compositor_ = OpenKWinCompositor(&why_not, silent ? 300ms : 60s);
    ASSERT_NE(compositor_, nullptr) << why_not;
  }

  void TearDown() override {
    compositor_.reset();
    kwin_.reset();
  }

  size_t Unloads() const { return Occurrences(kwin_->Log(), "unload "); }

  std::unique_ptr<Fake> kwin_;
  std::unique_ptr<KWinCompositor> compositor_;
};

const CompositorWindow kEditor{"{w-editor}", 4242, "org.kde.kate", "kate", "notes.txt — Kate",
                               true,         {}};
const CompositorWindow kPlayer{"{w-player}", 4343, "vlc", "", "VLC media player", false, {}};

TEST_P(KWinTest, WorkspacesAreItsVirtualDesktopsInPositionOrder) {
  StartKWin();
  const auto backends = compositor_->Backends();
  EXPECT_EQ(backends.workspaces + " " + backends.front_app + " " + backends.windows,
            "kwin kwin-script kwin-script");
  EXPECT_EQ(compositor_->CountWorkspaces(), 3);
  EXPECT_EQ(compositor_->CurrentWorkspace(), 1);
  EXPECT_EQ(compositor_->ActivateWorkspace(2), kOk);
  EXPECT_TRUE(kwin_->Logged("current d-three"));
  EXPECT_EQ(compositor_->CurrentWorkspace(), 2);
  EXPECT_EQ(compositor_->ActivateWorkspace(3), kBadIndex);
  EXPECT_EQ(compositor_->ActivateWorkspace(-1), kBadIndex);
}

TEST_P(KWinTest, TheScriptListsApplicationWindowsAndTellsTheActiveOne) {
  StartKWin();
  EXPECT_EQ(compositor_->Windows(), (std::vector<CompositorWindow>{kEditor, kPlayer}));
  EXPECT_EQ(compositor_->FocusedWindow(), kEditor);
  EXPECT_EQ(compositor_->LayoutSize(), (ScreenSize{3840, 1080}));
  // Every request's script is unloaded and its file removed; their folder goes with the adapter.
  EXPECT_EQ(Unloads(), 3u);
  auto script_paths = [] {
    std::vector<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(std::getenv("XDG_RUNTIME_DIR"))) {
      if (entry.path().string().find("koru-kwin") != std::string::npos)
        paths.push_back(entry.path());
    }
    return paths;
  };
  ASSERT_EQ(script_paths().size(), 1u);
  EXPECT_TRUE(fs::is_directory(script_paths().front()));
  compositor_.reset();
  EXPECT_TRUE(script_paths().empty());
}

TEST_P(KWinTest, FocusingAndClosingReachTheWindowAndAGoneWindowIsNotFound) {
  StartKWin();
  EXPECT_EQ(compositor_->Focus(kPlayer), kOk);
  EXPECT_TRUE(kwin_->Logged("activate w-player"));
  ASSERT_TRUE(compositor_->FocusedWindow());
  EXPECT_EQ(compositor_->FocusedWindow()->id, kPlayer.id);
  EXPECT_EQ(compositor_->Close(kPlayer), kOk);
  EXPECT_TRUE(kwin_->Logged("close w-player"));
  CompositorWindow editor = kEditor;
  editor.focused = false;
  EXPECT_EQ(compositor_->Windows(), std::vector<CompositorWindow>{editor});
  EXPECT_EQ(compositor_->Close(kPlayer), kEntryNotFound);
  EXPECT_EQ(compositor_->Focus(kPlayer), kEntryNotFound);
  // An id is data in the script, whatever it holds.
  CompositorWindow odd = kEditor;
  odd.id = "\"}); workspace.activeWindow = null; ({\"\u2028\\";
  EXPECT_EQ(compositor_->Close(odd), kEntryNotFound);
  EXPECT_FALSE(kwin_->Logged("close w-editor"));
}

TEST_P(KWinTest, AScriptThatNeverReportsIsAFailureAndIsUnloaded) {
  StartKWin(/*silent=*/true);
  TraceCapture trace;
  EXPECT_EQ(compositor_->FocusedWindow(), std::nullopt);
  EXPECT_EQ(compositor_->Close(kPlayer), kTimedOut);
  EXPECT_TRUE(trace.Contains("KWin: the window script did not report"));
  EXPECT_EQ(Unloads(), 2u);
  // The next request loads under the same name again.
  EXPECT_EQ(compositor_->Windows(), std::vector<CompositorWindow>{});
  EXPECT_EQ(Unloads(), 3u);
  EXPECT_FALSE(kwin_->Logged("close w-player"));
}

INSTANTIATE_TEST_SUITE_P(Plasma, KWinTest, ::testing::Values(5, 6),
                         [](const auto& info) { return "Plasma" + std::to_string(info.param); });

TEST(KWinAbsent, NoAdapterAndTheReason) {
  std::string why_not;
  EXPECT_EQ(OpenKWinCompositor(&why_not), nullptr);
  EXPECT_NE(why_not.find("org.kde.KWin"), std::string::npos);
}

TEST(GnomeFrontApp, FollowsTheAccessibilityBusAndIsUnknownAfterADeactivationOrWithoutIt) {
  std::string why_not;
  std::unique_ptr<GnomeCompositor> gnome = OpenGnomeCompositor(nullptr, &why_not);
  ASSERT_NE(gnome, nullptr);
  EXPECT_EQ(gnome->Backends().front_app, "");
  EXPECT_NE(gnome->WhyNot().front_app.find("org.a11y.Bus"), std::string::npos);
  EXPECT_NE(gnome->Remedies().front_app, "");
  EXPECT_EQ(gnome->FocusedWindow(), std::nullopt);

  Fake a11y("fake_a11y_bus.py", "a11y.log");
  ASSERT_TRUE(a11y.Ready());
  gnome = OpenGnomeCompositor(nullptr, &why_not);
  ASSERT_NE(gnome, nullptr);
  EXPECT_EQ(gnome->Backends().front_app + "|" + gnome->Backends().workspaces + "|" +
                gnome->Backends().windows,
            "at-spi||");
  EXPECT_NE(why_not.find("/dev/uinput"), std::string::npos) << why_not;
  EXPECT_TRUE(a11y.Logged("register window:activate"));
  EXPECT_TRUE(a11y.Logged("register window:deactivate"));
  EXPECT_EQ(gnome->FocusedWindow(), std::nullopt);

  std::string log = a11y.Log();
  auto connection = [&](char n) {
    size_t at = log.find(std::string("connection ") + n + " ") + 13;
    return log.substr(at, log.find('\n', at) - at);
  };
  const std::string executable =
      fs::read_symlink("/proc/" + std::to_string(a11y.Pid()) + "/exe").filename().string();

  a11y.Tell("activate 0 /org/a11y/atspi/accessible/1 Files");
  ASSERT_TRUE(Eventually([&] { return gnome->FocusedWindow().has_value(); }));
  const std::string files = connection('0') + "/org/a11y/atspi/accessible/1";
  EXPECT_EQ(gnome->FocusedWindow(),
            (CompositorWindow{files, a11y.Pid(), executable, "", "Files", true, {}}));

  a11y.Tell("activate 1 /org/a11y/atspi/accessible/7 Terminal");
  ASSERT_TRUE(Eventually([&] {
    auto window = gnome->FocusedWindow();
    return window && window->title == "Terminal";
  }));
  EXPECT_EQ(gnome->FocusedWindow()->id, connection('1') + "/org/a11y/atspi/accessible/7");

  a11y.Tell("deactivate 1 /org/a11y/atspi/accessible/7");
  EXPECT_TRUE(Eventually([&] { return !gnome->FocusedWindow().has_value(); }));
}

TEST(GnomeWorkspaces, TheDesktopsDefaultKeysAreReadThroughGsettings) {
  // The settings in memory: the defaults of the installed schemas, nothing of a user's.
  ScopedEnv memory("GSETTINGS_BACKEND", "memory");
  std::vector<std::string> strokes;
  FakeInputInjector injector(&strokes);
  std::unique_ptr<GnomeCompositor> gnome = OpenGnomeCompositor(&injector, nullptr);
  ASSERT_EQ(gnome->Backends().workspaces, "gnome-keys")
      << "needs gsettings (libglib2.0-bin) and gsettings-desktop-schemas";
  ASSERT_EQ(gnome->ActivateWorkspace(2), kOk);
  // Super+Home, then Super+Page Down twice.
  EXPECT_EQ(strokes,
            (std::vector<std::string>{"stroke 125,102", "stroke 125,109", "stroke 125,109"}));
}

}  // namespace

}  // namespace koru
