// The virtual remote's button places: the layout file that stores them and the rules that put
// them on the board.
#include "virtual_remote/layout_file.h"
#include "virtual_remote/placement_rules.h"

#include <gtest/gtest.h>

#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

using Places = std::vector<std::tuple<int, int, int>>;

Places Parsed(const std::string& text) {
  Places places;
  for (const LayoutPlace& place : ParseLayoutFile(text)) {
    places.emplace_back(place.slot, place.x, place.y);
  }
  return places;
}

}  // namespace

TEST(LayoutFile, LinesAreWrittenWithAlignedNumbersAndReadBack) {
  const std::vector<LayoutPlace> places = {
      {5, 10, 96, "N5"}, {60, 360, 60, "Prog+"}, {64, 1250, 7, " m "}};
  const std::string text = FormatLayoutFile(places);
  EXPECT_EQ(text,
            "; - \n; - KORU / LAYOUT-FILE \n; - \n"
            "[ 5],  10 , 96 ,(N5)\n"
            "[60], 360 , 60 ,(Prog+)\n"
            "[64], 1250 ,  7 ,( m )\n"
            "; - \n");
  EXPECT_EQ(Parsed(text), (Places{{5, 10, 96}, {60, 360, 60}, {64, 1250, 7}}));
}

TEST(LayoutFile, ReadingSkipsWhatWasNeverWrittenAndStopsAtASlotOffTheBoard) {
  for (const auto& c : ReadTable("virtual_remote/data/layout_reading.tsv", 3)) {
    Places places;
    for (const std::string& place : CellList(c[2], ';')) {
      const std::vector<int> at = CellNumbers<int>(place);
      places.emplace_back(at[0], at[1], at[2]);
    }
    EXPECT_EQ(Parsed(Unescaped(c[1])), places) << c[0];
  }
}

TEST(LayoutFile, AnOverLongLineIsReadInPiecesAsItAlwaysWas) {
  // The 255-character piece ends inside the padding; the rest of the line starts with "[" and
  // is read as a line of its own.
  const std::string text = "[ 1],  10 , 20 ," + std::string(239, ' ') + "[ 2],  30 , 40 ,\n";
  EXPECT_EQ(Parsed(text), (Places{{1, 10, 20}, {2, 30, 40}}));
}

TEST(PlacementRules, DroppedButtonsSnapToTheGridAndStoredPlacesAreClampedOntoTheBoard) {
  for (const auto& c : ReadTable("virtual_remote/data/placements.tsv", 4)) {
    const std::vector<int> at = CellNumbers<int>(c[1]), to = CellNumbers<int>(c[3]);
    const QPoint place(at[0], at[1]);
    EXPECT_EQ(c[0] == "snap" ? SnapButtonPlace(place) : ClampOntoBoard(place, std::stoi(c[2])),
              QPoint(to[0], to[1]))
        << c[0] << " " << c[1];
  }
}

}  // namespace koru
