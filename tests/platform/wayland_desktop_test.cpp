#include <gtest/gtest.h>
#include <unistd.h>

#include <map>

#include "platform/desktop/desktop_messages.h"
#include "platform/desktop/desktop_session.h"
#include "platform/desktop/evdev_keys.h"
#include "platform/desktop/fake_wayland_parts.h"
#include "platform/desktop/sway_compositor.h"
#include "platform/desktop/wayland_desktop.h"
#include "platform/media/fake_media_players.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

TEST(DesktopSession, TheSessionAndTheCompositorFamilyComeFromTheEnvironment) {
  for (const auto& row : ReadTable("platform/data/desktop_sessions.tsv", 3)) {
    std::map<std::string, std::string> env;
    for (const std::string& word : CellList(row[0]))
      env[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
    DesktopSession session = DetectDesktopSession([&](const char* name) -> const char* {
      auto found = env.find(name);
      return found == env.end() ? nullptr : found->second.c_str();
    });
    EXPECT_EQ(session.Describe() + ", " + session.name, row[1] + ", " + row[2]) << row[0];
  }
}

TEST(EvdevKeys, KeyMessagesBecomeModifiersThenKeys) {
  for (const auto& row : ReadTable("platform/data/evdev_strokes.tsv", 3)) {
    Message message(kKeyDown);
    message.AddInt32("modifiers", CellNumber(row[0]));
    for (long key : CellNumbers(row[1])) message.AddInt32("key", key);
    EXPECT_EQ(EvdevStrokeForMessage(message), CellNumbers<uint16_t>(row[2])) << row[1];
  }
}

TEST(SwayReplies, WindowsWorkspacesAndOutputsAreReadFromRecordedReplies) {
  // Recorded from sway 1.7 (trimmed): an Xwayland window floats beside two Wayland ones.
  std::vector<CompositorWindow> windows =
      SwayWindowsFromTree(ReadAll(KORU_SOURCE_DIR "/tests/platform/data/sway_tree.json"));
  ASSERT_EQ(windows.size(), 3u);
  // A window of fixed size is centred in its tile: its content starts at 2 + 288, 27 + 265.
  EXPECT_EQ(windows[0], (CompositorWindow{"5", 15506, "korutest-b", "", "Window B", false,
                                          ScreenPoint{290, 292}}));
  EXPECT_EQ(windows[1], (CompositorWindow{"6", 15504, "korutest-a", "", "Window A", true, {}}));
  EXPECT_EQ(windows[2], (CompositorWindow{"9", 77, "XPdf", "xpdf", "xpdf: a.pdf", false, {}}));
  EXPECT_TRUE(SwayWindowsFromTree("not json").empty());

  EXPECT_EQ(SwayCurrentWorkspace(R"([{"num":1,"focused":false},{"num":3,"focused":true}])"), 2);
  EXPECT_EQ(SwayCurrentWorkspace(R"([{"num":-1,"name":"mail","focused":true}])"), -1);
  EXPECT_EQ(SwayLayoutSize(R"([{"active":true,"rect":{"x":0,"y":0,"width":1280,"height":800}},
      {"active":true,"rect":{"x":1280,"y":0,"width":1920,"height":1080}},
      {"active":false,"rect":{"x":0,"y":0,"width":9999,"height":9999}}])"),
            (ScreenSize{3200, 1080}));
  EXPECT_TRUE(SwayCommandSucceeded(R"([{"success":true}])"));
  EXPECT_FALSE(SwayCommandSucceeded(R"([{"success":true},{"success":false,"error":"x"}])"));
  EXPECT_FALSE(SwayCommandSucceeded(""));
}

class WaylandDesktopTest : public ::testing::Test {
 protected:
  WaylandDesktop& Make(bool with_input = true, bool with_compositor = true) {
    WaylandDesktop::Backends backends;
    if (with_input) {
      backends.input = std::make_unique<FakeInputInjector>(&calls);
    } else {
      backends.input_missing = "no access to /dev/uinput";
      backends.input_remedy = "Install the udev rule.";
    }
    if (with_compositor) {
      auto compositor = std::make_unique<FakeCompositor>(&calls);
      compositor->windows = {{"1", 501, "korutest-a", "", "A", true, {}},
                             {"2", 502, "org.videolan.VLC", "", "V", false, {}},
                             {"3", 502, "org.videolan.VLC", "", "V2", false, {}},
                             {"4", getpid(), "org.koru.KORU", "", "KORU", false, {}}};
      compositor->layout = {1280, 800};
      fake = compositor.get();
      backends.compositor = std::move(compositor);
    } else {
      backends.compositor_missing = "no adapter";
    }
    desktop =
        std::make_unique<WaylandDesktop>("wayland (fake)", table, &launcher, std::move(backends));
    return *desktop;
  }

  static Message Key(int32_t key) {
    Message message(kKeyDown);
    message.AddInt32("modifiers", 0x30);
    message.AddInt32("key", key);
    return message;
  }

  // What the desktop reports: the trace line, the summary, the details and the notices.
  static std::string ReportOf(WaylandDesktop& d) {
    std::string text =
        d.Report().TraceLine() + "\n" + d.Report().Summary() + "\n" + d.Report().Details() + "\n";
    for (const std::string& notice : d.Report().Notices()) text += "notice: " + notice + "\n";
    return text;
  }

  std::vector<std::string> calls;
  SignatureTable table =
      SignatureTable::Parse("application/x-vnd.videolan-vlc wmclass=vlc,org.videolan.VLC\n");
  FakeLauncher launcher;
  FakeCompositor* fake = nullptr;
  std::unique_ptr<WaylandDesktop> desktop;
};

TEST_F(WaylandDesktopTest, KeysGoToTheFocusedWindowOrFocusTheTargetAppAndEveryBackendIsNamed) {
  WaylandDesktop& d = Make();
  EXPECT_EQ(d.SendMessage(MessageTarget::ActiveWindow(), Key(0x57)), kOk);
  EXPECT_EQ(d.SendMessage(MessageTarget::App("application/x-vnd.videolan-vlc"), Key(0x5e)), kOk);
  EXPECT_EQ(d.SendMessage(MessageTarget::App("application/x-vnd.none"), Key(0x5e)), kEntryNotFound);
  EXPECT_EQ(d.SendMessage(MessageTarget::ActiveWindow(), Message(kKeyUp)), kOk);
  EXPECT_EQ(d.SendMessage(MessageTarget::ActiveApp(), Message(kMouseDown)), kOk);
  EXPECT_EQ(calls,
            (std::vector<std::string>{"stroke 103", "focus 2", "stroke 57", "focus 1", "click"}));
  EXPECT_EQ(ReportOf(d), ReadAll(KORU_SOURCE_DIR "/tests/platform/data/wayland_report_full.txt"));
}

TEST_F(WaylandDesktopTest, ApplicationsClosingWorkspacesAndThePointerGoThroughTheCompositor) {
  WaylandDesktop& d = Make();
  std::vector<std::string> apps;  // one per process
  for (const AppInfo& app : d.RunningApps()) apps.push_back(app.signature);
  EXPECT_EQ(apps, (std::vector<std::string>{"application/x-vnd.linux-korutest-a",
                                            "application/x-vnd.videolan-vlc",
                                            "application/x-vnd.tq-KORU"}));
  AppInfo active;
  ASSERT_TRUE(d.ActiveApp(&active));
  EXPECT_EQ(active.team, 501);

  EXPECT_EQ(d.Activate(502), kOk);
  EXPECT_EQ(d.SendMessage(MessageTarget::ActiveApp(), Message(kQuitRequested)), kOk);
  EXPECT_EQ(d.SendMessage(MessageTarget::ActiveWindowAny(), Message(kQuitRequested)),
            kEntryNotFound);  // the application's windows are gone: nothing has the focus
  d.ActivateWorkspace(2);
  EXPECT_EQ(d.CurrentWorkspace(), 2);
  d.MovePointer({100, 100}, {100, 116});  // KORU's window is not focused: a relative step
  fake->windows.back().focused = true;
  fake->windows.back().content_origin = ScreenPoint{300, 200};
  d.MovePointer({100, 100}, {116, 100});  // from KORU's window, placed on the layout
  EXPECT_EQ(d.PointerPosition(), (ScreenPoint{416, 300}));
  EXPECT_EQ(calls, (std::vector<std::string>{"focus 2", "close 2", "close 3", "workspace 2",
                                             "move 100,100->100,116 in 0x0",
                                             "move 400,300->416,300 in 1280x800"}));
}

TEST_F(WaylandDesktopTest, WhatCannotBeDoneIsTracedOnceAndReported) {
  TraceCapture trace;
  WaylandDesktop& d = Make(/*with_input=*/false, /*with_compositor=*/false);
  EXPECT_EQ(d.SendMessage(MessageTarget::ActiveWindow(), Key(0x57)), kUnsupported);
  EXPECT_EQ(d.SendMessage(MessageTarget::ActiveWindow(), Key(0x57)), kUnsupported);
  EXPECT_TRUE(d.RunningApps().empty());
  d.ActivateWorkspace(3);
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(trace.Text() + ReportOf(d),
            ReadAll(KORU_SOURCE_DIR "/tests/platform/data/wayland_report_none.txt"));
}

}  // namespace

}  // namespace koru
