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

class RecordingLabel : public StatusLabel {
 public:
  void Blank() override { ++blanked; }
  int blanked = 0;
};

TEST_F(DesktopActionsTest, MoveMouseOnThePanelSendsPressAndReleaseToTheApplication) {
  desktop.Activate(kDeskbarSignature);
  for (int32_t n : {61, 64, 69}) IMoveMouse(services, {}, n, nullptr, nullptr);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{
                               "app '_KYD' key 0x57 mod 0x30", "app '_MUP' key 0x57 mod 0x30",
                               "app '_KYD' key 0x63 mod 0x30", "app '_MUP' key 0x63 mod 0x30",
                               "app '_MDN' key 0x47 mod 0x30", "app '_MUP' key 0x47 mod 0x30"}));
  EXPECT_TRUE(trace.Contains("  *DESKBAR (application/x-vnd.Be-TSKB)"));
}

TEST_F(DesktopActionsTest, MoveMouseOnTheFileManagerSendsOneKeyDownToTheWindow) {
  desktop.Activate(kTrackerSignature);
  IMoveMouse(services, {}, 63, nullptr, nullptr);
  IMoveMouse(services, {}, 69, nullptr, nullptr);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD' key 0x61 mod 0x30",
                                                     "window '_KYD' key 0x47 mod 0x30"}));
  EXPECT_TRUE(trace.Contains("  *TRACKER ON TOP (63)"));
}

TEST_F(DesktopActionsTest, MoveMouseOnKoruStepsThePointerFromWhereItIs) {
  desktop.Activate(kKoruSignature);
  FixedView view;
  RecordingLabel label;
  desktop.calls.clear();
  // Origin (100.5, 200) + view point (10.7, 20.2) = (111.2, 220.2), truncated after the step.
  for (int32_t n : {61, 63, 64, 69}) IMoveMouse(services, {100.5f, 200.0f}, n, &view, &label);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"pointer 111,204", "pointer 95,220",
                                                     "pointer 127,220", "fmf 1"}));
  EXPECT_EQ(label.blanked, 4);
  EXPECT_TRUE(desktop.sent.empty());
  EXPECT_TRUE(trace.Contains(" **Mouse-klick??"));

  desktop.calls.clear();
  IMoveMouse(services, {}, 64, nullptr, &label);
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_TRUE(trace.Contains("IMoveMouse NO BASEVIEW"));
}

TEST_F(DesktopActionsTest, MoveMouseIgnoresOtherKeysAndOtherApplications) {
  desktop.Activate(kKoruSignature);
  FixedView view;
  IMoveMouse(services, {}, 65, &view, nullptr);
  EXPECT_EQ(trace.Text(), "");
  desktop.Activate("application/x-vnd.linux-gimp");
  IMoveMouse(services, {}, 61, &view, nullptr);
  EXPECT_EQ(trace.Text(), " oops?");
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_TRUE(desktop.sent.empty());
}

}  // namespace

}  // namespace koru
