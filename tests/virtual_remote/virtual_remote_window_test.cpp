#include <QGuiApplication>
#include <QScreen>

#include "board_fixture.h"
#include "virtual_remote/virtual_remote_window.h"

namespace koru {

namespace {

class VrWindowTest : public BoardTest {
 protected:
  VirtualRemoteWindow* Open() {
    ToApp(Message(kOpenVirtualRemote));
    Settle();
    return app_->VirtualRemote();
  }
  void Close(VirtualRemoteWindow* window) {
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Settle();
  }
  void ToApp(Message message) { app_->MessageReceived(&message); }
};

}  // namespace

TEST_F(VrWindowTest, OpensOnceAtTheUsedAreaSizeAndZoomsOutToTheParkingArea) {
  Start();
  VirtualRemoteWindow* window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Open(), window);  // one at a time
  EXPECT_EQ(window->windowTitle(), "_LAYOUT_");
  EXPECT_EQ(window->Board()->geometry(), window->rect());
  // Opened, zoomed out, zoomed in; widened, then zoomed: wider than the used area, narrower
  // than 455, it is left alone.
  std::string sizes;
  for (int zoom = 0; zoom < 4; ++zoom) {
    if (zoom == 3) window->ResizeTo(300, 413);
    if (zoom > 0) window->Zoom();
    sizes += std::to_string(window->width()) + "x" + std::to_string(window->height()) +
             (window->Zoomed() ? " zoomed " : " ");
  }
  EXPECT_EQ(sizes, "235x413 460x522 zoomed 235x413 300x413 ");
}

TEST_F(VrWindowTest, OnlyMovesBeyondTenPixelsAreStoredAndAPlaceOffThisScreenOpensOnIt) {
  Start();
  Settings()->vr_window_rect = Rect{100, 120, 400, 500};
  VirtualRemoteWindow* window = Open();
  window->FrameMoved(QPoint(108, 112));
  EXPECT_EQ(Settings()->vr_window_rect, (Rect{100, 120, 400, 500}));
  window->move(111, 120);
  window->FrameMoved(window->pos());
  EXPECT_EQ(Settings()->vr_window_rect, (Rect{111, 120, 111 + 233, 120 + 411}));
  Close(window);

  // A place stored for a larger screen; zoomed out at the screen's corner it stays wholly on it.
  Settings()->vr_window_rect = Rect{3000, 2000, 3233, 2411};
  window = Open();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(window->frameGeometry())) << window->x() << "," << window->y();
  window->Zoom();
  EXPECT_EQ(window->width(), 460);
  EXPECT_TRUE(screen.contains(window->frameGeometry())) << window->x() << "," << window->y();
}

TEST_F(VrWindowTest, ReceivedKeysLightTheirButtonAndTheGroupOrAnyWithoutSplitting) {
  Start();
  AllButtonsView* board = Open()->Board();
  for (const auto& row : ReadTable("virtual_remote/data/window_lit.tsv", 4)) {
    Settings()->use_splitting = row[0] == "splitting";
    ToApp(MessageOf(FourCCOf(row[1]), row[2]));
    EXPECT_EQ(LitSlots(board), CellNumbers<int>(row[3])) << row[1] << " " << row[2];
  }
}

TEST_F(VrWindowTest, AMovedButtonIsWrittenOnClosingAndShownThereNextTime) {
  Start();
  Close(Open());  // nothing moved: nothing written
  EXPECT_EQ(app_->VirtualRemote(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Folder() / "_LAYOUT_"));

  VirtualRemoteWindow* window = Open();
  window->Zoom();
  Drag(window->Board()->Button(0), QPoint(283, 127), 300);
  Settle();
  EXPECT_TRUE(window->LayoutChanged());
  EXPECT_EQ(window->MinimumLimit(), QSize(235, 413));  // "N1".."N4" still reach 225
  Close(window);
  EXPECT_NE(ReadAll(Folder() / "_LAYOUT_").find("[ 0], 280 ,120 ,(N0)\n"), std::string::npos);
  EXPECT_EQ(Open()->Board()->Button(0)->pos(), QPoint(280, 120));
}

TEST_F(VrWindowTest, ChoosingALayoutStoresItsNameAndMovesTheButtons) {
  WriteLayoutFile(Folder() / "sofa", {{0, 150, 300, "N0"}});
  Start();
  VirtualRemoteWindow* window = Open();
  QAction* sofa = window->Board()->LayoutMenu()->actions().value(0);
  ASSERT_NE(sofa, nullptr);
  sofa->trigger();
  Settle();
  EXPECT_STREQ(Settings()->Layoutfile, "sofa");
  EXPECT_EQ(window->windowTitle(), "sofa");
  EXPECT_EQ(window->Board()->Button(0)->pos(), QPoint(150, 300));
  EXPECT_EQ(window->Board()->LayoutField()->MarkedText(), "sofa");
}

TEST_F(VrWindowTest, TheViewMenuOpensItAndAReceivedKeyLightsItsButton) {
  Start();
  QAction* item = FindMenuItem(Find<QMenu>("View"), kOpenVirtualRemote);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(WithoutMnemonic(item->text()), "Layout");
  item->trigger();
  Settle();  // to the main window, which passes it on to the application
  Settle();
  ASSERT_NE(app_->VirtualRemote(), nullptr);
  AllButtonsView* board = app_->VirtualRemote()->Board();
  Key(kLrSat, kLrSatN1);
  Settle();
  const std::vector<int> lit = LitSlots(board);
  ASSERT_EQ(lit.size(), 2u);
  EXPECT_EQ(board->Button(lit[0])->Label(), "N1");
  EXPECT_EQ(lit[1], 54);  // no splitting: "-Any-"
}

}  // namespace koru
