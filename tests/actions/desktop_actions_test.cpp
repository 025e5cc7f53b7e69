// Desktop actions on the fake desktop: workspaces, the pointer, and keystrokes to the front
// application.
#include "action_fixture.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

using DesktopActionsTest = ActionTest;

TEST_F(DesktopActionsTest, JumpWorkSpaceTakesTheLastDigitOfThePresetIndex) {
  for (const auto& row : ReadTable("actions/data/workspace_jumps.tsv", 4)) {
    desktop.calls.clear();
    desktop.workspace_count = CellNumber(row[1]);
    desktop.current_workspace = CellNumber(row[2]);
    IJumpWorkSpace(services, CellNumber(row[0]));
    std::vector<std::string> expected = {"fmf 0"};
    if (!row[3].empty()) expected.push_back("workspace " + row[3]);
    EXPECT_EQ(desktop.calls, expected) << "n=" << row[0] << " count=" << row[1];
  }
}

class FixedView : public PointerView {
 public:
  ViewPoint GetMouse() override { return {10.7f, 20.2f}; }
};

// Blanking shows among the desktop's calls.
class RecordingLabel : public StatusLabel {
 public:
  explicit RecordingLabel(std::vector<std::string>* calls) : calls_(calls) {}
  void Blank() override { calls_->push_back("blank"); }

 private:
  std::vector<std::string>* calls_;
};

TEST_F(DesktopActionsTest, MoveMouseStepsThePointerOnKoruAndSendsKeysElsewhere) {
  FixedView view;
  RecordingLabel label(&desktop.calls);
  for (const auto& row : ReadTable("actions/data/mouse_moves.tsv", 6)) {
    SCOPED_TRACE(row[0] + " n=" + row[2]);
    desktop.Activate(row[0]);
    desktop.calls.clear();
    desktop.sent.clear();
    trace.Clear();
    for (long n : CellNumbers(row[2]))
      IMoveMouse(services, {100.5f, 200.0f}, n, row[1].empty() ? nullptr : &view, &label);
    EXPECT_EQ(desktop.calls, CellList(row[3], '|'));
    EXPECT_EQ(SentSummary(), CellList(row[4], '|'));
    EXPECT_EQ(trace.Text(), Unescaped(row[5]));
  }
}

TEST_F(DesktopActionsTest, KeyPressTablesPerActiveApplication) {
  for (const auto& row : ReadTable("actions/data/keystrokes.tsv", 3)) {
    desktop.sent.clear();
    desktop.Activate(row[0]);
    IKeypress2App(services, CellNumber(row[1]));
    EXPECT_EQ(SentSummary(), CellList(row[2], '|')) << row[0] << " n=" << row[1];
  }
}

TEST_F(DesktopActionsTest, AltPlusMinusSendsOneKeyDownWithTwoKeys) {
  IAltPlusMinus(services, 66);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD' key 0x5d key 0x3a mod 0x30"}));
}

}  // namespace

}  // namespace koru
