#include "board_fixture.h"
#include "presets/preset_file.h"

namespace koru {

TEST_F(BoardTest, TheDefaultBoardHasItsExtentsAndWritesEveryButtonAtItsDefaultPlace) {
  AllButtonsView* board = MakeBoard();
  EXPECT_EQ(board->UsedArea(), QRect(QPoint(1, 1), QPoint(234, 412)));
  EXPECT_EQ(board->ParkingExtent(), QSize(460, 482));
  EXPECT_FALSE(board->DualMode());
  EXPECT_EQ(window_->windowTitle(), "_LAYOUT_");

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

TEST_F(BoardTest, ALayoutReadsBackToTheWholePixelAndOnlyWhatAFileNamesIsMoved) {
  AllButtonsView* board = MakeBoard();
  board->Button(0)->move(333, 17);
  board->Button(54)->move(97, 401);
  board->Button(71)->move(11, 777);
  board->SavePositions();
  // A new board replaces the old one: keep the saved places first.
  std::map<int, QPoint> saved;
  for (int slot = 0; slot < kBoardSlots; ++slot)
    if (board->Button(slot) != nullptr) saved[slot] = Place(board, slot);
  AllButtonsView* again = MakeBoard();
  for (const auto& [slot, place] : saved) EXPECT_EQ(Place(again, slot), place) << slot;
  EXPECT_EQ(Place(again, 0), QPoint(333, 17));

  // A file moves only the buttons it names, up to a slot off the board; damaged places stay on
  // the board.
  WriteLayout("_LAYOUT_", "");
  EXPECT_EQ(Place(MakeBoard(), 0), QPoint(10, 68));  // header only: defaults
  WriteLayout("_LAYOUT_",
              "[ 1], -50 ,5000 ,(N1)\n[50], 900 , 10 ,(Desktop)\n[26],  50 , 50 ,(-F2-)\n"
              "[80],  10 , 10 ,\n[ 0], 300 ,300 ,(N0)\n");
  AllButtonsView* damaged = MakeBoard();
  EXPECT_EQ(Place(damaged, 1), QPoint(0, 814));
  EXPECT_EQ(Place(damaged, 50), QPoint(400, 10));
  EXPECT_EQ(Place(damaged, 0), QPoint(10, 68));  // after slot 80: not read
  EXPECT_EQ(Place(damaged, 2), QPoint(98, 68));  // not named
}

TEST_F(BoardTest, TheAreasFollowTheButtonsAndDualButtonsInTheUsedAreaSwitchDualModeOn) {
  // Every used button parked except "N0", which ends exactly on the border (right edge 235).
  std::string lines = "[ 0], 196 ,700 ,(N0)\n";
  for (int slot = 1; slot <= 54; ++slot)
    if (DefaultButtons()[slot].key_function != 0)
      lines += "[" + std::string(slot < 10 ? " " : "") + std::to_string(slot) + "], 360 , 20 ,\n";
  WriteLayout("_LAYOUT_", lines);
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
  for (const auto& step : ReadTable("virtual_remote/data/lit_buttons.tsv", 3)) {
    board->SetDualMode(step[0] == "dual");
    board->Highlight(std::stol(step[1]));
    EXPECT_EQ(LitSlots(board), CellNumbers<int>(step[2])) << step[0] << " " << step[1];
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
  EXPECT_EQ(LitSlots(board, &RemoteButtonView::Taught),
            (std::vector<int>{0, 14, 60, 61, 62, 63, 64, 65, 66, 67, 68, 70, 71}));

  RemoteButtonView* vol = board->Button(63);
  RemoteButtonView::useingDualButtons = true;
  EXPECT_EQ(vol->LabelColor(), QColor(255, 120, 20));
  RemoteButtonView::useingDualButtons = false;
  EXPECT_EQ(vol->LabelColor(), QColor(152, 152, 152));
  EXPECT_EQ(board->Button(0)->LabelColor(), QColor(255, 20, 20));
  EXPECT_EQ(board->Button(1)->LabelColor(), QColor(20, 20, 20));

  Message none(kMarkRemotesButton);
  board->MarkRemotesButton(&none);
  EXPECT_EQ(LitSlots(board, &RemoteButtonView::Taught), std::vector<int>{});
}

TEST_F(BoardTest, DroppedButtonsSnapAndOnlyAPlaceChangeIsReported) {
  AllButtonsView* board = MakeBoard();
  for (const auto& c : ReadTable("virtual_remote/data/dropped_buttons.tsv", 5)) {
    recorder_.codes.clear();
    RemoteButtonView* button = board->Button(std::stoi(c[0]));
    const std::vector<int> drop = CellNumbers<int>(c[1]);
    Drag(button, QPoint(drop[0], drop[1]), std::stoul(c[2]));
    EXPECT_EQ(std::to_string(button->x()) + " " + std::to_string(button->y()), c[3]) << c[0];
    EXPECT_EQ(button->ShownText(), button->Label());
    EXPECT_FALSE(button->Moving());
    EXPECT_EQ(recorder_.codes, std::vector<uint32_t>(c[4] == "reported", kButtonMoved)) << c[0];
  }
}

TEST_F(BoardTest, TheLayoutMenuListsLayoutFilesAndMarksTheCurrentOneByPrefix) {
  for (const char* name : {"_LAY", "sofa", "zz"}) WriteLayoutFile(Folder() / name, {});
  ASSERT_EQ(WritePresetFile(Folder() / "_preset_", NewPresetList()), kOk);  // marked otherwise
  // The current name is "_LAYOUT_".
  EXPECT_EQ(MenuText(MakeBoard()->LayoutMenu()), "_LAY *, sofa, zz");
}

}  // namespace koru
