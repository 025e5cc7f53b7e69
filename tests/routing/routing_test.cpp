// Scenarios of the router without splitting: tests/routing/data/*.txt.
#include "platform/messaging/alert.h"
#include "router_fixture.h"

namespace koru {

TEST_F(RouterTest, ReportsAreShownMatchedAndToldToTheVirtualRemoteOrSlowTheReceiverDown) {
  Play("reports.txt");
}

TEST_F(RouterTest, TheLogIsCrunchedAndAReportWithoutCodeSaysThereIsNoPort) {
  SetAlertPresenter(nullptr);
  Play("log.txt");
  EXPECT_LE(view_.log.size(), 420u);
}

TEST_F(RouterTest, GlobalPresetsRunTheirTargetAndNothingElse) {
  ScopedEnv home("HOME", ProgramHome().c_str());
  std::ofstream(ProgramHome() / "notes.txt") << "notes";
  Play("global_presets.txt");
}

TEST_F(RouterTest, GlobalKeysRunTheirDesktopActions) {
  Play("global_keys.txt");
}

TEST_F(RouterTest, MediaListModeKeepsMuteHandsListKeysOverAndDropsVolume) {
  Play("media_list_mode.txt");
}

TEST_F(RouterTest, TickSkipsExactlyTheNextMessageAndHysteresisDividesTheOneByteCode) {
  Play("switches.txt");
}

TEST_F(RouterTest, ThePresetFileIsReadAtStartUpAndEveryRereadReplacesTheWholeList) {
  Play("presets.txt");
}

}  // namespace koru
