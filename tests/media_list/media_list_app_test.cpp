// The media list window as the application opens and closes it for the main window.
#include <QAction>
#include <fstream>
#include <functional>

#include "media_list/media_entries_view.h"
#include "media_list/media_entry_view.h"
#include "media_list/media_list_messages.h"
#include "media_list/media_list_window.h"
#include "routing/code_text.h"
#include "shell/shell_fixture.h"
#include "toolkit/message_action.h"

namespace {

constexpr int kLrSatDown = 157, kLrSatPower = 181;

class MediaListAppTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    std::ofstream(home_.Path() / "_koru_media_list") << "/m/0.ogg\n/m/1.ogg\n";
  }
  MediaListWindow* MediaWindow() { return app_->MediaWindow(); }
  bool ListMode() { return Window()->Router().MediaListMode(); }
  // Messages here travel several hops (main window, application, list window, back).
  static void Deliver() {
    for (int hop = 0; hop < 8; ++hop) {
      QApplication::sendPostedEvents();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  bool Enabled(uint32_t what) { return FindMenuItem(FileMenu(), what)->isEnabled(); }

  ScopedEnv home_env_{"HOME", home_.Path().c_str()};
};

}  // namespace

TEST_F(MediaListAppTest, OpenAndCloseLeaveTheRemoteKeysToTheDesktopAgain) {
  Start();
  const bool compact_before = Window()->MiniViewShowing();
  Post(kOpenMediaList);
  Deliver();
  MediaListWindow* list = MediaWindow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->MediaView()->EntryViews().size(), 2u);
  EXPECT_TRUE(ListMode());
  EXPECT_FALSE(Enabled(kOpenMediaList));
  EXPECT_TRUE(Enabled(kCloseMediaList));
  EXPECT_NE(Window()->MiniViewShowing(), compact_before);

  Post(kOpenMediaList);
  Key(kLrSat, kLrSatFav);
  Deliver();
  EXPECT_EQ(MediaWindow(), list) << "one media list window at a time";

  // While the list is open the remote moves its selection, not the pointer.
  Key(kLrSat, kLrSatDown);
  Key(kLrSat, kLrSatVolUp);
  Deliver();
  EXPECT_EQ(list->MediaView()->Selected(), 1);
  EXPECT_TRUE(desktop_->sent.empty());
  EXPECT_EQ(Find<QLabel>("gloInfo")->text(), "(Locked) Toplist");

  Post(kCloseMediaList);
  Deliver();
  EXPECT_EQ(MediaWindow(), nullptr);
  EXPECT_FALSE(ListMode());
  EXPECT_TRUE(Enabled(kOpenMediaList));
  EXPECT_FALSE(Enabled(kCloseMediaList));
  EXPECT_EQ(Window()->MiniViewShowing(), compact_before);
  Key(kLrSat, kLrSatVolUp);
  EXPECT_FALSE(desktop_->sent.empty()) << "Vol+ reaches the desktop again";

  // "FAV" opens the list as "Open" does: the keys go to it.
  Key(kLrSat, kLrSatFav);
  Deliver();
  ASSERT_NE(MediaWindow(), nullptr);
  EXPECT_TRUE(ListMode());
  EXPECT_FALSE(Enabled(kOpenMediaList));
  const size_t sent = desktop_->sent.size();
  Key(kLrSat, kLrSatVolUp);
  EXPECT_EQ(desktop_->sent.size(), sent);
}

TEST_F(MediaListAppTest, TheRemotesOkKeyPlaysTheSelectedEntry) {
  const std::filesystem::path song = home_.Path() / "song.ogg";
  std::ofstream(song) << "OggS";
  std::ofstream(home_.Path() / "_koru_media_list") << song.string() << "\n/m/1.ogg\n";
  Start();
  Post(kOpenMediaList);
  Deliver();
  ASSERT_NE(MediaWindow(), nullptr);
  Key(kLrSat, kLrSatOk);
  Deliver();
  Window()->WaitForActions();
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"open " + song.string()});
  EXPECT_EQ(Settings()->LAST_PLAY, 0);
}

TEST_F(MediaListAppTest, EveryWayOfClosingTheListEndsTheMode) {
  const struct {
    const char* how;
    std::function<void()> close;
  } closers[] = {
      {"Close in the main window", [this] { Post(kCloseMediaList); }},
      {"Power on the remote", [this] { Key(kLrSat, kLrSatPower); }},
      {"the list window itself", [this] { MediaWindow()->close(); }},
  };
  Start();
  for (const auto& closer : closers) {
    Post(kOpenMediaList);
    Deliver();
    ASSERT_NE(MediaWindow(), nullptr) << closer.how;
    closer.close();
    Deliver();
    EXPECT_EQ(MediaWindow(), nullptr) << closer.how;
    EXPECT_FALSE(ListMode()) << closer.how;
    EXPECT_EQ(Find<QLabel>("gloInfo")->text(), " ") << closer.how;
    EXPECT_TRUE(Enabled(kOpenMediaList)) << closer.how;
  }
}
