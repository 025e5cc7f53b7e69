// The media list window on a list file in a fresh folder, its actions run at once on recording
// fakes and a virtual clock; and as the application opens and closes it for the main window.
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QUrl>

#include "actions/actions.h"
#include "media_list/media_entries_view.h"
#include "media_list/media_entry_view.h"
#include "media_list/media_list_window.h"
#include "platform/files/memory_node.h"
#include "platform/messaging/clock.h"
#include "screenshots.h"
#include "shell/shell_fixture.h"

namespace koru {

namespace {

class MediaWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetThreadClock(&clock_);
    SetAlertPresenter([this](const std::string& text) { alerts_.push_back(text); });
  }
  void TearDown() override {
    delete window_;
    SetAlertPresenter(nullptr);
    SetThreadClock(nullptr);
  }

  std::filesystem::path ListFile() const { return dir_.Path() / "_koru_media_list"; }
  void WriteList(const std::string& text) { std::ofstream(ListFile(), std::ios::binary) << text; }
  // A file the shared MIME database takes for audio (by its name and its contents).
  std::string AudioFile(const std::string& name) {
    const std::filesystem::path path = dir_.Path() / name;
    std::ofstream(path, std::ios::binary)
        << std::string("RIFF\x24\0\0\0WAVEfmt ", 16) << std::string(40, '\0');
    return path.string();
  }

  MediaListWindow* Open() {
    window_ = new MediaListWindow(
        &prefs_, [this](ActionThread::Action action) { action(services_); }, ListFile());
    window_->show();
    return window_;
  }
  MediaEntriesView* View() const { return window_->MediaView(); }
  std::vector<std::string> Shown() const {
    std::vector<std::string> paths;
    for (MediaEntryView* view : View()->EntryViews()) paths.push_back(view->Path());
    return paths;
  }
  void Send(const Message& message) {
    window_->GetMessenger().SendMessage(message);
    Settle();
  }
  // A remote's key to the list (`korukey`, a key function).
  void SendKey(int32_t korukey) {
    Message key(kMediaListKey);
    key.AddInt32("korukey", korukey);
    Send(key);
  }
  static void Settle() {
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  TempDir dir_;
  VirtualClock clock_;
  Prefs prefs_{std::make_shared<MemoryNode>()};
  FakeDesktop desktop_;
  FakeMediaPlayers players_;
  FakeLauncher launcher_;
  ActionServices services_{&desktop_, &players_, nullptr, &launcher_};
  std::vector<std::string> alerts_;
  QPointer<MediaListWindow> window_;
};

TEST_F(MediaWindowTest, TheWindowShowsTheListKeepsItsSizeLimitsAndMovesTheSelectionWithTheKeys) {
  WriteList("; - \n/m/0.ogg\n/m/1.ogg\n/m/2.ogg\n/m/3.ogg\n");
  prefs_.lt_window_rect = Rect{100, 50, 300, 150};  // smaller than the limits allow
  EXPECT_EQ(Open()->size(), QSize(600, 620));
  EXPECT_EQ(Shown(), (std::vector<std::string>{"/m/0.ogg", "/m/1.ogg", "/m/2.ogg", "/m/3.ogg"}));
  // The selection moves with the keys and stays centred.
  // A key, then the entry selected.
  for (const auto& [korukey, selected] :
       {std::pair{62, 1}, {62, 2}, {95, 3}, {62, 3}, {61, 2}, {91, 1}, {63, 0}, {64, 3}}) {
    SendKey(korukey);
    ASSERT_EQ(View()->Selected(), selected) << korukey;
    MediaEntryView* entry = View()->EntryViews()[static_cast<size_t>(selected)];
    EXPECT_TRUE(entry->Selected());
    EXPECT_NEAR(entry->geometry().center().y(), View()->height() / 2, 1) << korukey;
  }
}

TEST_F(MediaWindowTest, APrimaryClickPausesThePlayersAndOpensTheEntryAndExitQuitsThem) {
  WriteList("/m/0.ogg\n/m/1.ogg\n/m/2.ogg\n");
  players_.players[kSoundplaySignature] = {1.0f};
  Open();
  QWidget* entry = View()->EntryViews()[2];
  const QPointF at(entry->width() / 2.0, entry->height() / 2.0);
  QMouseEvent press(QEvent::MouseButtonPress, at, entry->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(entry, &press);
  Settle();
  EXPECT_EQ(prefs_.LAST_PLAY, 2);
  EXPECT_EQ(View()->Selected(), 2);
  ASSERT_FALSE(players_.calls.empty());
  EXPECT_EQ(players_.calls.front(), std::string("pitch ") + kSoundplaySignature + "#0 0");
  // A file that cannot be read is not handed on, and without an alert.
  EXPECT_TRUE(launcher_.calls.empty());
  EXPECT_TRUE(alerts_.empty());

  const std::string song = AudioFile("song.wav");
  WriteList(song + "\n");
  window_->CheckListFile();
  Message play(kPlayMediaEntry);
  play.AddInt32("ml_nr", 0);
  Send(play);
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"open " + song});
  EXPECT_EQ(prefs_.LAST_PLAY, 0);

  // "EXIT" and the menu ask every running player to quit, with an empty list all the same.
  WriteList("");
  window_->CheckListFile();
  ASSERT_TRUE(Shown().empty());
  players_.calls.clear();
  SendKey(72);
  Settle();  // the list view passes it on to its window
  EXPECT_EQ(players_.calls, std::vector<std::string>{std::string("quit ") + kSoundplaySignature});
  players_.calls.clear();
  QMenu* menu = window_->ShowMenu(QPoint(0, 0));
  FindMenuItem(menu, QString("Quit the players"))->trigger();
  menu->close();
  Settle();
  EXPECT_EQ(players_.calls, std::vector<std::string>{std::string("quit ") + kSoundplaySignature});
}

TEST_F(MediaWindowTest, TheEntryMenuOpensTheFolderOrRemovesTheEntryForGood) {
  const std::string song = AudioFile("song.wav");
  WriteList("; mine\n/m/gone.ogg\n" + song + "\n");
  Open();
  QMenu* menu = View()->EntryViews()[0]->ShowMenu(QPoint(0, 0));
  EXPECT_EQ(menu->objectName(), "MeView_Menu");
  EXPECT_FALSE(FindMenuItem(menu, QString("Open folder"))->isEnabled()) << "the file is missing";
  menu = View()->EntryViews()[1]->ShowMenu(QPoint(0, 0));
  FindMenuItem(menu, QString("Open folder"))->trigger();
  Settle();
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"open " + dir_.Path().string()});

  menu = View()->EntryViews()[0]->ShowMenu(QPoint(0, 0));
  FindMenuItem(menu, QString("Remove from List"))->trigger();
  Settle();
  EXPECT_EQ(Shown(), std::vector<std::string>{song});
  window_->close();
  Settle();
  EXPECT_TRUE(window_.isNull());
  EXPECT_EQ(ReadAll(ListFile()), "; - \n; - KORU / MEDIA-FILES \n; - \n" + song + "\n; - \n");
}

TEST_F(MediaWindowTest, ADropAddsItsAudioFilesOnceAndRefusesTheRest) {
  Open();
  const std::string song = AudioFile("song.wav");
  const std::string text = (dir_.Path() / "notes.txt").string();
  std::ofstream(text) << "just words\n";
  // As a file manager drops them: a uri-list.
  QMimeData uris;
  QList<QUrl> urls;
  for (const std::string& path : {text, song, song})
    urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
  uris.setUrls(urls);
  TraceCapture trace;
  window_->DropUris(&uris);
  Settle();
  EXPECT_EQ(alerts_, std::vector<std::string>{"notes.txt\n.. not supported Filetype"});
  EXPECT_TRUE(trace.Contains(".. no audio or video-files"));
  EXPECT_TRUE(trace.Contains("+mt10:  '" + song + "' "));
  EXPECT_TRUE(trace.Contains("Allways in List:"));
  EXPECT_EQ(Shown(), std::vector<std::string>{song});
  EXPECT_TRUE(window_->List().Changed());
}

TEST_F(MediaWindowTest, TheTabAndTheEntrySizeAreKeptForTheNextWindow) {
  WriteList("/m/0.ogg\n");
  Open();
  const std::pair<uint32_t, bool> steps[] = {{kToggleMediaTab, true}, {kToggleMediaTab, false},
                                             {kHideMediaTab, true},   {kHideMediaTab, true},
                                             {kShowMediaTab, false},  {kHideMediaTab, true}};
  for (const auto& [what, hidden] : steps) {
    Send(Message(what));
    EXPECT_EQ(window_->TabHidden(), hidden) << FourCCText(what);
    EXPECT_EQ(prefs_.window_mtab, hidden) << FourCCText(what);
    EXPECT_TRUE(window_->isVisible()) << FourCCText(what);
  }
  for (const auto& [what, size] : {std::pair{kMediaViewMini, MediaEntriesView::kMini},
                                   {kMediaViewMaxi, MediaEntriesView::kMaxi},
                                   {kMediaViewNormal, MediaEntriesView::kNormal}}) {
    Send(Message(what));
    delete window_;
    Open();
    EXPECT_EQ(View()->Size(), size) << FourCCText(what);
    EXPECT_TRUE(window_->TabHidden()) << "a new window starts as the last one was left";
  }
}

TEST_F(MediaWindowTest, AListThatCannotBeSavedKeepsTheWindowOpenOnce) {
  std::filesystem::create_directory(ListFile());  // the path is taken by a folder
  Open();
  Message drop(kDroppedData);
  drop.AddString("refs", AudioFile("song.wav"));
  Send(drop);
  window_->close();
  Settle();
  ASSERT_FALSE(window_.isNull());
  EXPECT_TRUE(window_->List().Changed());
  auto* notice = window_->findChild<QLabel*>("MxNotice");
  EXPECT_TRUE(notice->isVisible());
  EXPECT_TRUE(notice->text().startsWith("The list could not be saved"))
      << notice->text().toStdString();
  window_->close();
  Settle();
  EXPECT_TRUE(window_.isNull());
}

TEST_F(MediaWindowTest, Screenshot) {
  if (ScreenshotFolder() == nullptr) GTEST_SKIP() << "KORU_SCREENSHOT_DIR not set";
  std::string list;
  for (const auto& [album, colour] : {std::pair{"Morning Sessions", QColor(230, 130, 60)},
                                      std::pair{"Night Trains", QColor(30, 110, 150)}}) {
    const std::filesystem::path path = dir_.Path() / "Music" / album;
    std::filesystem::create_directories(path);
    QImage cover(200, 200, QImage::Format_RGB32);
    cover.fill(colour);
    cover.save(QString::fromStdString((path / "cover.png").string()));
    for (const char* song : {"01 Open Road.ogg", "02 Slow River.ogg"}) {
      std::ofstream(path / song) << "OggS";
      list += (path / song).string() + "\n";
    }
  }
  std::filesystem::create_directories(dir_.Path() / "Videos");
  list += (dir_.Path() / "Videos" / "Holiday 2026.mp4").string() + "\n";
  std::ofstream(dir_.Path() / "Videos" / "Holiday 2026.mp4") << "....ftypmp42";
  ScopedEnv home("HOME", dir_.Path().c_str());
  WriteList(list);
  prefs_.LAST_PLAY = 1;
  Screenshot(Open(), "media-list");
}

TEST_F(MediaWindowTest, AListEditedInTheTextEditorIsShownWithoutPollingAndSurvivesClosing) {
  WriteList("/m/a.ogg\n");
  Open();
  Send(Message(kEditMediaListFile));
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"open " + ListFile().string()});
  auto shown_after = [&](const std::vector<std::string>& expected) {
    for (int turn = 0; turn < 2000 && Shown() != expected; ++turn) {
      Settle();
      snooze(1000);
    }
    return Shown() == expected;
  };
  // Written in place, then replaced by a rename as editors save: both are seen.
  WriteList("/m/b.ogg\n/m/a.ogg\n");
  EXPECT_TRUE(shown_after({"/m/b.ogg", "/m/a.ogg"}));
  const std::filesystem::path other = ListFile().string() + ".new";
  std::ofstream(other, std::ios::binary) << "/m/c.ogg\n";
  std::filesystem::rename(other, ListFile());
  EXPECT_TRUE(shown_after({"/m/c.ogg"}));
  WriteList("# by hand\n/m/d.ogg\n");
  EXPECT_TRUE(shown_after({"/m/d.ogg"})) << "the replaced file is watched too";
  window_->close();
  Settle();
  EXPECT_EQ(ReadAll(ListFile()), "# by hand\n/m/d.ogg\n");
}

class MediaListAppTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    std::ofstream(song_) << "OggS";
    std::ofstream(home_.Path() / "_koru_media_list") << "/m/0.ogg\n" << song_.string() << "\n";
  }
  // Messages here travel several hops (main window, application, list window, back).
  static void Deliver() {
    for (int hop = 0; hop < 8; ++hop) {
      QApplication::sendPostedEvents();
      QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  // The list window, the router's list mode, the File menu's "Open" and "Close" items that are
  // enabled, the compact view and the line above the key display.
  std::string State() {
    return std::string(app_->MediaWindow() ? "window" : "no window") +
           (Window()->Router().MediaListMode() ? ", list mode" : "") +
           (FindMenuItem(FileMenu(), kOpenMediaList)->isEnabled() ? ", Open" : "") +
           (FindMenuItem(FileMenu(), kCloseMediaList)->isEnabled() ? ", Close" : "") +
           (Window()->MiniViewShowing() ? ", compact" : "") + ", '" + Texts({"gloInfo"}) + "'";
  }

  ScopedEnv home_env_{"HOME", home_.Path().c_str()};
  const std::filesystem::path song_ = home_.Path() / "song.ogg";
};

constexpr int kLrSatDown = 157, kLrSatPower = 181;

TEST_F(MediaListAppTest,
       WhileOpenTheRemoteWorksTheListAndEveryWayOfClosingLeavesTheKeysToTheDesktop) {
  Start();
  Post(kOpenMediaList);
  Deliver();
  MediaListWindow* list = app_->MediaWindow();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->MediaView()->EntryViews().size(), 2u);
  EXPECT_EQ(State(), "window, list mode, Close, compact, '*TRACKER*ON*TOP*'");
  Post(kOpenMediaList);
  Key(kLrSat, kLrSatFav);
  Deliver();
  EXPECT_EQ(app_->MediaWindow(), list) << "one media list window at a time";

  // While the list is open the remote moves its selection, not the pointer.
  Key(kLrSat, kLrSatDown);
  Key(kLrSat, kLrSatVolUp);
  Deliver();
  EXPECT_EQ(list->MediaView()->Selected(), 1);
  EXPECT_TRUE(desktop_->sent.empty());
  EXPECT_EQ(State(), "window, list mode, Close, compact, '(Locked) Toplist'");
  // "OK" plays the selected entry.
  Key(kLrSat, kLrSatOk);
  Deliver();
  Window()->WaitForActions();
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"open " + song_.string()});
  EXPECT_EQ(Settings()->LAST_PLAY, 1);

  Post(kCloseMediaList);
  Deliver();
  EXPECT_EQ(State(), "no window, Open, ' '");
  Key(kLrSat, kLrSatVolUp);
  EXPECT_FALSE(desktop_->sent.empty()) << "Vol+ reaches the desktop again";

  // "FAV" opens the list as "Open" does: the keys go to it.
  Key(kLrSat, kLrSatFav);
  Deliver();
  EXPECT_EQ(State(), "window, list mode, Close, compact, ' '");
  const size_t sent = desktop_->sent.size();
  Key(kLrSat, kLrSatVolUp);
  EXPECT_EQ(desktop_->sent.size(), sent);

  // "Power" on the remote and the list window itself close it as "Close" does.
  Key(kLrSat, kLrSatPower);
  Deliver();
  EXPECT_EQ(State(), "no window, Open, ' '");
  Post(kOpenMediaList);
  Deliver();
  app_->MediaWindow()->close();
  Deliver();
  EXPECT_EQ(State(), "no window, Open, ' '");
}

}  // namespace

}  // namespace koru
