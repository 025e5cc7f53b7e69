#include "platform/messaging/trace.h"
#include "router_fixture.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

TEST_F(RouterTest, GroupMenusListEveryRemoteAndRestoreTheStoredAssignment) {
  Prefs::SetText(prefs_.Audio, "LR-SAT");
  Play("group_menus.txt");
}

TEST_F(RouterTest, GroupsTakeTheirKeysAndMasterFunctionsWorkOnAnyRemote) {
  Play("splitting.txt");
}

TEST_F(RouterTest, ChoosingUnsetClearsTheGroupAndARescanRestoresItByName) {
  Prefs::SetText(prefs_.Video, "DENON");
  Play("unset_group.txt");
}

TEST_F(RouterTest, AnUnknownCodeRunsNoGroupActionWithSplittingOn) {
  Start();
  Step("split on");
  // The first remote of the list is the one a failed match tried last.
  const std::string first = Router().Remotes().front()->name_;
  for (int32_t kind : {11, 12, 13, 14})  // every group menu
    Step("assign " + std::to_string(kind) + " " + first);
  TraceCapture trace;
  Key(111222, 61);
  EXPECT_EQ(view_.Text(RoutingText::kRemote), "-unknown-");
  EXPECT_FALSE(trace.Contains("DoWithRemote"));
  EXPECT_TRUE(desktop_.sent.empty());
  EXPECT_EQ(sent_.back().what, kHighlightButton);
  EXPECT_EQ(sent_.back().GetInt32("vr_target", 0), 54);
  EXPECT_EQ(view_.Shown("mini group"), " Default");
}

}  // namespace koru
