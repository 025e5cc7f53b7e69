// The router's scenarios, each a transcript in tests/routing/data/*.txt, and the checks that
// reach beyond the view: files written, folders left alone.
#include "platform/messaging/alert.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"
#include "test_files.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

namespace {

// The scenarios that need nothing but their transcript (tests/routing/data/NAME.txt).
class RouterScenario : public RouterTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(RouterScenario, PlaysAsTranscribed) {
  Play(GetParam() + ".txt");
}

INSTANTIATE_TEST_SUITE_P(Transcripts, RouterScenario,
                         ::testing::Values("reports", "global_keys", "media_list_mode", "switches",
                                           "presets", "group_menus", "splitting", "unset_group",
                                           "listener", "lircd", "teach_modes", "set_free",
                                           "teach_strays", "recorded_key", "exact_refusal",
                                           "exact_strays", "held_key", "classic_timing"),
                         [](const auto& info) { return info.param; });

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

TEST_F(RouterTest, ANewRemoteIsTaughtStoredListedChartedAndRecognised) {
  Play("new_remote.txt");  // the menus list it: 36 remotes
  EXPECT_NE(ReadAll(Remotes() / "_Chart.html").find("MyRemote"), std::string::npos);
}

TEST_F(RouterTest, AnExactRemoteTaughtFromJitteredPressesIsRecognisedKeyByKeyFromOthers) {
  Play("exact_tuner.txt");
  EXPECT_NE(ReadAll(Remotes() / "_Chart.html").find("title='NEC addr 0x04 cmd 0x08'>x"),
            std::string::npos);
}

TEST_F(RouterTest, NamesThatCannotBeFileNamesAreRefused) {
  Play("refused_names.txt");
  EXPECT_FALSE(std::filesystem::exists(Program() / "evil"));
  EXPECT_FALSE(std::filesystem::exists(Remotes() / "newRemote"));
}

TEST_F(RouterTest, QuitSaysSoWhenTheRemoteWasNotWritten) {
  SetAlertPresenter(nullptr);
  std::filesystem::create_directories(Remotes() / "Blocked" / "inside");
  Play("teach_quit.txt");
  EXPECT_TRUE(std::filesystem::is_directory(Remotes() / "Blocked"));
}

}  // namespace

}  // namespace koru
