#include <QCheckBox>
#include <QMenu>
#include <map>

#include "board_fixture.h"
#include "platform/files/file_node.h"
#include "platform/files/koru_type.h"
#include "remotes/remote_fields.h"
#include "test_files.h"
#include "toolkit/menu_field.h"
#include "virtual_remote/virtual_remote_messages.h"

TEST_F(BoardTest, TheDefaultBoardHasItsExtentsAndWritesEveryButtonAtItsDefaultPlace) {
  AllButtonsView* board = MakeBoard();
  EXPECT_EQ(board->UsedArea(), QRect(QPoint(1, 1), QPoint(234, 412)));
  EXPECT_EQ(board->ParkingExtent(), QSize(460, 482));
  EXPECT_FALSE(board->DualMode());
  EXPECT_EQ(window_->windowTitle(), "_LAYOUT_");
  EXPECT_EQ(board->GridBox()->pos(), QPoint(6, 420));
  EXPECT_EQ(board->LayoutField()->pos(), QPoint(36, 447));

  board->SavePositions();
  EXPECT_EQ(ReadAll(Folder() / "_LAYOUT_"),
            ReadAll(KORU_SOURCE_DIR "/tests/virtual_remote/data/default_layout"));
  FileNode node(Folder() / "_LAYOUT_");
  EXPECT_EQ(ReadKoruType(node), kKoruLayoutFile);

  // A layout name from the settings never leads out of the remote folder.
  board->SetLayoutName("../escaped");
  board->SavePositions();
  EXPECT_FALSE(std::filesystem::exists(Folder().parent_path() / "escaped"));
}

TEST_F(BoardTest, ALayoutReadsBackToTheWholePixelAndDamagedPlacesStayOnTheBoard) {
  AllButtonsView* board = MakeBoard();
  board->Button(0)->move(333, 17);
  board->Button(54)->move(97, 401);
  board->Button(71)->move(11, 777);
  board->SavePositions();
  // A new board replaces the old one: keep the saved places first.
  std::map<int, QPoint> saved;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    if (board->Button(slot) != nullptr) saved[slot] = Place(board, slot);
  }
  AllButtonsView* again = MakeBoard();
  for (const auto& [slot, place] : saved) EXPECT_EQ(Place(again, slot), place) << slot;
  EXPECT_EQ(Place(again, 0), QPoint(333, 17));

  WriteLayout("_LAYOUT_", "[ 1], -50 ,5000 ,(N1)\n[50], 900 , 10 ,(Desktop)\n");
  AllButtonsView* damaged = MakeBoard();
  EXPECT_EQ(Place(damaged, 1), QPoint(0, 814));
  EXPECT_EQ(Place(damaged, 50), QPoint(400, 10));
}

TEST_F(BoardTest, LayoutFilesMoveOnlyTheButtonsTheyNameUpToASlotOffTheBoard) {
  WriteLayout("_LAYOUT_", "");
  EXPECT_EQ(Place(MakeBoard(), 0), QPoint(10, 68));  // header only: defaults

  WriteLayout("_LAYOUT_",
              "[ 0], 100 ,400 ,(N0)\n[26],  50 , 50 ,(-F2-)\n[80],  10 , 10 ,\n"
              "[ 1], 300 ,300 ,(N1)\n");
  AllButtonsView* board = MakeBoard();
  EXPECT_EQ(Place(board, 0), QPoint(100, 400));
  EXPECT_EQ(Place(board, 1), QPoint(54, 68));  // after slot 80: not read
  EXPECT_EQ(Place(board, 2), QPoint(98, 68));  // not named
}

TEST_F(BoardTest, TheAreasFollowTheButtonsAndDualButtonsInTheUsedAreaSwitchDualModeOn) {
  // Every used button parked except "N0", which ends exactly on the border (right edge 235).
  std::string lines;
  for (int slot = 1; slot <= 54; ++slot) {
    if (DefaultButtons()[slot].key_function == 0) continue;
    char line[32];
    std::snprintf(line, sizeof line, "[%2d], 360 , 20 ,\n", slot);
    lines += line;
  }
  WriteLayout("_LAYOUT_", "[ 0], 196 ,700 ,(N0)\n" + lines);
  AllButtonsView* board = MakeBoard();
  EXPECT_EQ(board->UsedArea(), QRect(QPoint(1, 1), QPoint(30, 40)));  // "N0" counts for neither
  EXPECT_EQ(board->ParkingExtent(), QSize(460, 394));                 // width stays 460

  WriteLayout("_LAYOUT_", "[63], 190 , 20 ,(Vol+)\n");
  board = MakeBoard();
  EXPECT_TRUE(board->DualMode());
  EXPECT_TRUE(RemoteButtonView::useingDualButtons);
  EXPECT_TRUE(board->DualBox()->isChecked());
  WriteLayout("_LAYOUT_", "[59], 190 , 20 ,(n.F.)\n");  // a spare button is no dual button
  EXPECT_FALSE(MakeBoard()->DualMode());
}

TEST_F(BoardTest, KeysLightTheirButtonOrTheirDualButtonAndGroupsLightOneAtATime) {
  AllButtonsView* board = MakeBoard();
  const struct {
    bool dual;
    long slot;
    std::vector<int> lit;
  } steps[] = {
      {false, 14, {14}},      // "Vol+"
      {true, 14, {63}},       // "Vol+" on the dual button
      {true, 30, {66}},       // "Eject" on "Exit"
      {true, 0, {0}},         // "N0" has no dual button
      {true, 52, {0, 52}},    // a group lights beside the key
      {true, 54, {0, 54}},    // and replaces the other group
      {true, 25, {0, 54}},    // empty slot: nothing
      {true, -1, {54}},       // the key goes dark, the group stays
      {false, 21, {21, 54}},  // "EXIT" in the parking area
  };
  for (const auto& step : steps) {
    board->SetDualMode(step.dual);
    board->Highlight(step.slot);
    EXPECT_EQ(LitSlots(board), step.lit) << step.slot;
  }
}

TEST_F(BoardTest, TaughtKeysAreMarkedAndDualButtonsAlwaysWithARemote) {
  AllButtonsView* board = MakeBoard();
  RemoteDefinition remote;
  remote.SetSlot(1, 243);   // "N0"
  remote.SetSlot(15, 205);  // "Vol+"
  Message shown(kMarkRemotesButton);
  AddMarkedRemote(&shown, &remote);
  board->MarkRemotesButton(&shown);
  std::vector<int> marked;
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    if (board->Button(slot) != nullptr && board->Button(slot)->Taught()) marked.push_back(slot);
  }
  EXPECT_EQ(marked, (std::vector<int>{0, 14, 60, 61, 62, 63, 64, 65, 66, 67, 68, 70, 71}));

  RemoteButtonView* vol = board->Button(63);
  RemoteButtonView::useingDualButtons = true;
  EXPECT_EQ(vol->LabelColor(), QColor(255, 120, 20));
  RemoteButtonView::useingDualButtons = false;
  EXPECT_EQ(vol->LabelColor(), QColor(152, 152, 152));
  EXPECT_EQ(board->Button(0)->LabelColor(), QColor(255, 20, 20));
  EXPECT_EQ(board->Button(1)->LabelColor(), QColor(20, 20, 20));

  Message none(kMarkRemotesButton);
  board->MarkRemotesButton(&none);
  for (int slot = 0; slot < kBoardSlots; ++slot) {
    if (board->Button(slot) != nullptr) {
      EXPECT_FALSE(board->Button(slot)->Taught()) << slot;
    }
  }
}

TEST_F(BoardTest, DroppedButtonsSnapAndOnlyAPlaceChangeIsReported) {
  AllButtonsView* board = MakeBoard();
  const struct {
    int slot;
    QPoint drop;
    quint64 held_ms;
    QPoint place;
    bool reported;
  } cases[] = {
      {0, {4, 5}, 300, {10, 2}, true},
      {10, {54, 124}, 5, {54, 124}, false},    // a click released at once
      {10, {54, 124}, 300, {50, 120}, true},   // held without moving: snapped
      {2, {-80, 2000}, 300, {10, 810}, true},  // dropped beside the board: onto its edge
  };
  for (const auto& c : cases) {
    recorder_.codes.clear();
    RemoteButtonView* button = board->Button(c.slot);
    Drag(button, c.drop, c.held_ms);
    EXPECT_EQ(button->pos(), c.place) << c.slot;
    EXPECT_EQ(button->ShownText(), button->Label());
    EXPECT_FALSE(button->Moving());
    EXPECT_EQ(recorder_.codes,
              c.reported ? std::vector<uint32_t>{kButtonMoved} : std::vector<uint32_t>{})
        << c.slot;
  }
}

TEST_F(BoardTest, TheLayoutMenuListsLayoutFilesAndMarksTheCurrentOneByPrefix) {
  WriteLayoutFile(Folder() / "_LAY", {});
  WriteLayoutFile(Folder() / "sofa", {});
  WriteLayoutFile(Folder() / "zz", {});
  AllButtonsView* board = MakeBoard();
  QStringList items, marked;
  for (QAction* item : board->LayoutMenu()->actions()) {
    items << item->text();
    if (item->isChecked()) marked << item->text();
  }
  EXPECT_EQ(items, (QStringList{"_LAY", "sofa", "zz"}));
  EXPECT_EQ(marked, QStringList{"_LAY"});  // the current name is "_LAYOUT_"
}
