#include "virtual_remote/placement_rules.h"

#include <gtest/gtest.h>

#include "table_cells.h"
#include "test_files.h"

namespace koru {

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
