#include "virtual_remote/layout_file.h"

#include <gtest/gtest.h>

#include "presets/preset_file.h"
#include "temp_dir.h"

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
  const std::tuple<const char*, std::string, Places> cases[] = {
      {"header and trailer only", "; - \n; - KORU / LAYOUT-FILE \n; - \n; - \n", {}},
      {"empty file", "", {}},
      {"comment and stray lines", ";[ 1],  10 , 20 ,(N1)\nN1, 10, 20\n\n", {}},
      {"tabs are removed first", "[ 3],\t 50 ,\t 60 ,(N3)\n", {{3, 50, 60}}},
      {"positions count without tabs", "[\t3], 50 , 60 ,(N3)\n", {}},
      {"no line feed at the end", "[ 3],  50 , 60 ,(N3)", {{3, 50, 60}}},
      {"slot 80 ends the reading",
       "[ 1],  10 , 20 ,\n[80],  10 , 20 ,\n[ 2],  30 , 40 ,\n",
       {{1, 10, 20}}},
      {"a negative slot ends it too", "[-1],  10 , 20 ,\n[ 2],  30 , 40 ,\n", {}},
      {"slot 71 is the last one read", "[71], 100 , 200 ,\n", {{71, 100, 200}}},
      {"first comma before position 4", "[1], 10 , 20 ,\n[ 2],  30 , 40 ,\n", {{2, 30, 40}}},
      {"no second comma", "[ 1],  10  20\n", {}},
      {"coordinates as they stand", "[ 7], -40 ,3000 ,(N7)\n", {{7, -40, 3000}}},
  };
  for (const auto& [why, text, places] : cases) EXPECT_EQ(Parsed(text), places) << why;
}

TEST(LayoutFile, AnOverLongLineIsReadInPiecesAsItAlwaysWas) {
  // The 255-character piece ends inside the padding; the rest of the line starts with "[" and
  // is read as a line of its own.
  const std::string text = "[ 1],  10 , 20 ," + std::string(239, ' ') + "[ 2],  30 , 40 ,\n";
  EXPECT_EQ(Parsed(text), (Places{{1, 10, 20}, {2, 30, 40}}));
}

// Which marked files a folder holds is tested on the preset files (tests/presets): the same scan.
TEST(LayoutFile, WrittenFilesAreMarkedAndOnlyTheyAreFound) {
  TempDir dir;
  ASSERT_EQ(WriteLayoutFile(dir.Path() / "sofa", {{0, 10, 68, "N0"}}), kOk);
  ASSERT_EQ(WritePresetFile(dir.Path() / "_preset_", NewPresetList()), kOk);
  EXPECT_EQ(ScanLayoutFileNames(dir.Path()), std::vector<std::string>{"sofa"});
}

}  // namespace koru
