#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "board_fixture.h"
#include "platform/lines/mode2_recording.h"
#include "receiver/code_bytes.h"
#include "receiver/receiver_messages.h"
#include "receiver/replay_session.h"
#include "test_files.h"
#include "toolkit/menu_field.h"
#include "toolkit/message_action.h"
#include "toolkit/mnemonics.h"
#include "virtual_remote/virtual_remote_messages.h"
#include "virtual_remote/virtual_remote_window.h"

namespace {

class VrWindowTest : public BoardTest {
 protected:
  VirtualRemoteWindow* Open() {
    Message open(kOpenVirtualRemote);
    app_->MessageReceived(&open);
    Settle();
    return app_->VirtualRemote();
  }
  void Close(VirtualRemoteWindow* window) {
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Settle();
  }
  void ToApp(Message message) { app_->MessageReceived(&message); }
  static Message KeyMessage(int32_t key, int32_t target) {
    Message key_message(kHighlightButton);
    key_message.AddInt32("vr_key", key);
    key_message.AddInt32("vr_target", target);
    return key_message;
  }
};

}  // namespace

TEST_F(VrWindowTest, OpensOnceAtTheUsedAreaSizeAndZoomsOutToTheParkingArea) {
  Start();
  VirtualRemoteWindow* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Open(), window);  // one at a time
  EXPECT_EQ(window->windowTitle(), "_LAYOUT_");
  EXPECT_EQ(window->size(), QSize(235, 413));
  EXPECT_EQ(window->MinimumLimit(), QSize(235, 413));
  EXPECT_EQ(window->MaximumLimit(), QSize(460, 522));
  EXPECT_EQ(window->Board()->geometry(), window->rect());

  window->Zoom();
  EXPECT_EQ(window->size(), QSize(460, 522));
  EXPECT_TRUE(window->Zoomed());
  window->Zoom();
  EXPECT_EQ(window->size(), QSize(235, 413));
  EXPECT_FALSE(window->Zoomed());
  window->ResizeTo(300, 413);
  window->Zoom();  // wider than the used area, narrower than 455: left alone
  EXPECT_EQ(window->size(), QSize(300, 413));
}

TEST_F(VrWindowTest, OnlyMovesBeyondTenPixelsAreStoredWithTheUsedAreaSize) {
  Start();
  Prefs* prefs = Settings();
  prefs->vr_window_rect = Rect{100, 120, 400, 500};
  VirtualRemoteWindow* window = Open();
  window->FrameMoved(QPoint(108, 112));
  EXPECT_EQ(prefs->vr_window_rect, (Rect{100, 120, 400, 500}));
  window->move(111, 120);
  window->FrameMoved(window->pos());
  EXPECT_EQ(prefs->vr_window_rect, (Rect{111, 120, 111 + 233, 120 + 411}));
}

TEST_F(VrWindowTest, APlaceStoredForALargerScreenOpensOnThisOneAndZoomingKeepsItThere) {
  Start();
  Settings()->vr_window_rect = Rect{3000, 2000, 3233, 2411};
  VirtualRemoteWindow* window = Open();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(window->frameGeometry())) << window->x() << "," << window->y();
  window->Zoom();  // zoomed out at the screen's corner: still wholly on it
  EXPECT_EQ(window->width(), 460);
  EXPECT_TRUE(screen.contains(window->frameGeometry())) << window->x() << "," << window->y();
}

TEST_F(VrWindowTest, ReceivedKeysLightTheirButtonAndTheGroupOrAnyWithoutSplitting) {
  Start();
  AllButtonsView* board = Open()->Board();
  Settings()->use_splitting = false;
  ToApp(KeyMessage(65, 52));  // "Vol+" of an audio remote
  EXPECT_EQ(LitSlots(board), (std::vector<int>{14, 54}));
  ToApp(Message(kClearShownKey));
  EXPECT_EQ(LitSlots(board), std::vector<int>{54});

  Settings()->use_splitting = true;
  ToApp(KeyMessage(51, 52));
  EXPECT_EQ(LitSlots(board), (std::vector<int>{0, 52}));
  Message no_key(kHighlightButton);  // switches the key off
  no_key.AddInt32("vr_target", 53);
  ToApp(no_key);
  EXPECT_EQ(LitSlots(board), std::vector<int>{53});
}

TEST_F(VrWindowTest, AMovedButtonIsWrittenOnClosingAndShownThereNextTime) {
  Start();
  VirtualRemoteWindow* window = Open();
  Close(window);  // nothing moved: nothing written
  EXPECT_EQ(app_->VirtualRemote(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "_LAYOUT_"));

  window = Open();
  window->Zoom();
  Drag(window->Board()->Button(0), QPoint(283, 127), 300);
  Settle();
  EXPECT_TRUE(window->LayoutChanged());
  EXPECT_EQ(window->MinimumLimit(), QSize(235, 413));  // "N1".."N4" still reach 225
  Close(window);
  EXPECT_NE(ReadAll(Folder() / "_LAYOUT_").find("[ 0], 280 ,120 ,(N0)\n"), std::string::npos);

  window = Open();
  EXPECT_EQ(window->Board()->Button(0)->pos(), QPoint(280, 120));
}

TEST_F(VrWindowTest, ChoosingALayoutStoresItsNameAndMovesTheButtons) {
  WriteLayoutFile(Folder() / "sofa", {{0, 150, 300, "N0"}});
  Start();
  VirtualRemoteWindow* window = Open();
  QAction* sofa = window->Board()->LayoutMenu()->actions().value(0);
  ASSERT_NE(sofa, nullptr);
  sofa->trigger();
  Settle();
  EXPECT_EQ(std::string(Settings()->Layoutfile), "sofa");
  EXPECT_EQ(window->windowTitle(), "sofa");
  EXPECT_EQ(window->Board()->Button(0)->pos(), QPoint(150, 300));
  EXPECT_EQ(window->Board()->LayoutField()->MarkedText(), "sofa");
}

TEST_F(VrWindowTest, TheViewMenuOpensItAndAKeyFromARecordingLightsItsButton) {
  Mode2Recording recording;
  std::string error;
  ASSERT_EQ(ReadMode2File(std::string(KORU_SOURCE_DIR) + "/data/demo.mode2", &recording, &error),
            kOk)
      << error;
  const std::vector<ReceiverReport> reports = ReceiverReports(recording, IsKeyReport);
  ASSERT_FALSE(reports.empty());
  Start();
  QAction* item = FindMenuItem(Window()->findChild<QMenu*>("View"), kOpenVirtualRemote);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(WithoutMnemonic(item->text()), "Layout");
  item->trigger();
  Settle();  // to the main window, which passes it on to the application
  Settle();
  ASSERT_NE(app_->VirtualRemote(), nullptr);
  AllButtonsView* board = app_->VirtualRemote()->Board();

  Window()->ReceiverReported(reports[0]);
  Window()->WaitForActions();
  Settle();
  const QString key = Find<QLabel>("irSenKey")->text();
  const std::vector<int> lit = LitSlots(board);
  ASSERT_EQ(lit.size(), 2u) << key.toStdString();
  EXPECT_EQ(board->Button(lit[0])->Label(), key);
  EXPECT_EQ(lit[1], 54);  // no splitting: "-Any-"
}
