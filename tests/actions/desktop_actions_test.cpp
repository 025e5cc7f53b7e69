#include <optional>

#include "action_fixture.h"

namespace {

using DesktopActionsTest = ActionTest;

TEST_F(DesktopActionsTest, JumpWorkSpaceTakesTheLastDigitOfThePresetIndex) {
  struct Case {
    int32_t n, count, current;
    std::optional<int32_t> expected;
  };
  const Case cases[] = {
      {51, 10, 0, 9},            // digit 0 is the tenth workspace
      {51, 4, 0, 5},             // one subtraction only: 9 - 4
      {62, 4, 0, std::nullopt},  // digit 1 on the current workspace 0
      {62, 4, 2, 0},
      {60, 4, 0, 4},  // digit 9: index 8 - 4
      {53, 4, 1, std::nullopt},
      {75, 10, 0, 3},  // preset index 24
  };
  for (const Case& c : cases) {
    desktop.calls.clear();
    desktop.workspace_count = c.count;
    desktop.current_workspace = c.current;
    IJumpWorkSpace(services, c.n);
    std::vector<std::string> expected = {"fmf 0"};
    if (c.expected) expected.push_back("workspace " + std::to_string(*c.expected));
    EXPECT_EQ(desktop.calls, expected) << "n=" << c.n << " count=" << c.count;
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
  struct Case {
    int32_t n, key, character;
    bool click;
  };
  const Case cases[] = {{61, 0x57, 0x1e, false}, {64, 0x63, 0x1d, false}, {69, 0x47, 0x0a, true}};
  desktop.Activate(kDeskbarSignature);
  for (const Case& c : cases) {
    desktop.sent.clear();
    IMoveMouse(services, {}, c.n, nullptr, nullptr);
    std::vector<std::string> expected = {c.click ? "app '_MDN'" : "app '_KYD'", "app '_MUP'"};
    ASSERT_EQ(SentSummary(), expected) << c.n;
    const Message& down = desktop.sent[0].message;
    const Message& up = desktop.sent[1].message;
    EXPECT_EQ(down.GetInt32("key", 0), c.key);
    EXPECT_EQ(down.GetInt32("raw_char", 0), c.character);
    EXPECT_EQ(down.GetInt32("clicks", 0), c.click ? 1 : 0);
    EXPECT_EQ(down.GetInt32("buttons", 0), c.click ? 1 : 0);
    int64_t down_when = 0, up_when = 0;
    down.FindInt64("when", &down_when);
    up.FindInt64("when", &up_when);
    EXPECT_EQ(up_when, down_when + 500);
    EXPECT_EQ(States(down), std::vector<uint8_t>(16, 0));
  }
  EXPECT_TRUE(trace.Contains("  *DESKBAR (application/x-vnd.Be-TSKB)"));
  const std::vector<std::string> order = {"when",     "modifiers", "key",  "states",
                                          "raw_char", "byte",      "bytes"};
  auto names = FieldNames(desktop.sent[0].message);
  names.resize(order.size());
  EXPECT_EQ(names, order);
}

TEST_F(DesktopActionsTest, MoveMouseOnTheFileManagerSendsOneKeyDownToTheWindow) {
  desktop.Activate(kTrackerSignature);
  IMoveMouse(services, {}, 63, nullptr, nullptr);
  IMoveMouse(services, {}, 69, nullptr, nullptr);
  ASSERT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD'", "window '_KYD'"}));
  EXPECT_EQ(desktop.sent[0].message.GetInt32("key", 0), 0x61);
  EXPECT_EQ(desktop.sent[1].message.GetInt32("key", 0), 0x47);
  EXPECT_FALSE(desktop.sent[1].message.HasField("clicks"));
  EXPECT_TRUE(trace.Contains("  *TRACKER ON TOP (63)"));
}

TEST_F(DesktopActionsTest, MoveMouseOnKoruStepsThePointerFromWhereItIs) {
  desktop.Activate(kKoruSignature);
  FixedView view;
  RecordingLabel label;
  struct Case {
    int32_t n;
    std::vector<std::string> calls;
  };
  // Origin (100.5, 200) + view point (10.7, 20.2) = (111.2, 220.2), truncated after the step.
  const Case cases[] = {{61, {"pointer 111,204"}},
                        {63, {"pointer 95,220"}},
                        {64, {"pointer 127,220"}},
                        {69, {"fmf 1"}}};
  for (const Case& c : cases) {
    desktop.calls.clear();
    IMoveMouse(services, {100.5f, 200.0f}, c.n, &view, &label);
    EXPECT_EQ(desktop.calls, c.calls) << c.n;
  }
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
