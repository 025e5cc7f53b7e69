// Scenarios of the router without splitting: tests/routing/data/*.txt.
#include "platform/messaging/alert.h"
#include "router_fixture.h"

namespace koru {

TEST_F(RouterTest, ReportsAreShownMatchedAndToldToTheVirtualRemoteOrSlowTheReceiverDown) {
  Play("reports.txt");
}

TEST_F(RouterTest, TheLogIsCrunchedAndAReportWithoutCodeSaysThereIsNoPort) {
  Start();
  for (int i = 0; i < 12; ++i) {
    Key(kLrSat, kLrSatN1, 204);
    // Whatever is kept are whole lines: the cut never lands inside one.
    const size_t cut = view_.log.find("\t..(Crunched)");
    if (cut != std::string::npos) {
      EXPECT_TRUE(cut == 0 || view_.log[cut - 1] == '\n') << i;
    }
  }
  EXPECT_LE(view_.log.size(), 420u);
  EXPECT_NE(view_.log.find("\t..(Crunched)"), std::string::npos);

  SetAlertPresenter(nullptr);
  TraceCapture trace;
  Router().HandleReceiverTurnedAway();
  EXPECT_TRUE(view_.On("receiver-unusable"));
  EXPECT_EQ(view_.log.rfind("..no port \t\tserial2", 0), 0u) << view_.log;
  EXPECT_TRUE(trace.Contains("..no port \t\tserial2\n"));
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
