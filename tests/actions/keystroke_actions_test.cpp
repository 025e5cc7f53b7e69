#include "action_fixture.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

using KeystrokeActionsTest = ActionTest;

TEST_F(KeystrokeActionsTest, KeyPressTablesPerActiveApplication) {
  for (const auto& row : ReadTable("actions/data/keystrokes.tsv", 3)) {
    desktop.sent.clear();
    desktop.Activate(row[0]);
    IKeypress2App(services, CellNumber(row[1]));
    EXPECT_EQ(SentSummary(), CellList(row[2], '|')) << row[0] << " n=" << row[1];
  }
}

TEST_F(KeystrokeActionsTest, AltPlusMinusSendsOneKeyDownWithTwoKeys) {
  IAltPlusMinus(services, 66);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD' key 0x5d key 0x3a mod 0x30"}));
}

}  // namespace

}  // namespace koru
