#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_messages.h"
#include "remotes/remote_fields.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

TEST_F(RouterTest, ReportsAreShownMatchedAndToldToTheVirtualRemote) {
  Start();
  Key(kLrSat, kLrSatN1, 204);
  EXPECT_EQ(view_.Shown(), "LR-SAT N1");
  EXPECT_EQ(view_.Text(RoutingText::kCodec), "RC5-Code");
  EXPECT_EQ(view_.Text(RoutingText::kKeyValue), "179");
  EXPECT_EQ(view_.Text(RoutingText::kMiniKey), "N1");
  EXPECT_EQ(view_.mini_group, " Default");
  EXPECT_EQ(view_.pressed_key, 52);
  EXPECT_NE(view_.log.find(" Header: 253128 | 179 204 --- "), std::string::npos) << view_.log;
  EXPECT_EQ(view_.pulse_rate, 250000);
  const std::vector<Message> keys = SentOf(kHighlightButton);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].GetInt32("vr_key", 0), 52);
  EXPECT_EQ(keys[0].GetInt32("vr_target", 0), 54);
  const RemoteDefinition* remote = KeyRemote(keys[0]);
  ASSERT_NE(remote, nullptr);
  EXPECT_EQ(remote->name_, "LR-SAT");

  Key(1002, 1);  // a header no remote has
  EXPECT_EQ(view_.Shown(), "-unknown- -?-");
  EXPECT_EQ(view_.pressed_key, -1);
}

TEST_F(RouterTest, ShortCodeTextsSlowTheReceiverDownAndTwelveCharactersMatchNothing) {
  Start();
  Report("-0101010101-");  // 11 characters without separators
  EXPECT_EQ(view_.pulse_rate, 750000);
  EXPECT_TRUE(slowdown_.load());
  EXPECT_EQ(view_.Text(RoutingText::kRemote), "..pulse");

  TraceCapture trace;
  Report("-010101010101-");  // exactly 12: normal, but no "Header: " and no matching
  EXPECT_EQ(view_.pulse_rate, 250000);
  EXPECT_FALSE(slowdown_.load());
  EXPECT_FALSE(trace.Contains("ask Remote"));
  EXPECT_EQ(view_.log.find("Header: "), std::string::npos);

  Report("-0101010101011-");  // 13: matched
  EXPECT_NE(view_.log.find("Header: "), std::string::npos);
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
  EXPECT_TRUE(view_.receiver_unusable);
  EXPECT_EQ(view_.log.rfind("..no port \t\tserial2", 0), 0u) << view_.log;
  EXPECT_TRUE(trace.Contains("..no port \t\tserial2\n"));
}

TEST_F(RouterTest, GlobalPresetsRunTheirTargetAndNothingElse) {
  ScopedEnv home("HOME", ProgramHome().c_str());
  std::ofstream(ProgramHome() / "notes.txt") << "notes";
  Start();
  WritePresets(
      "[N1]: 'http://example.org/x'\n[N2]: 'Workspace'\n[N3]: '/boot/home/notes.txt'\n"
      "[N4]: 'gopher://not-a-preset'\n[N5]: 'ftp://files.example/'\n");
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"url http://example.org/x"});
  EXPECT_TRUE(desktop_.sent.empty());

  Key(kLrSat, kLrSatN2);
  EXPECT_FALSE(desktop_.calls.empty());  // the workspace switch asked the desktop

  launcher_.calls.clear();
  Key(kLrSat, kLrSatN3);
  ASSERT_EQ(launcher_.calls.size(), 1u);
  EXPECT_NE(launcher_.calls[0].find("notes.txt"), std::string::npos);
  EXPECT_EQ(launcher_.calls[0].find("/boot/home"), std::string::npos);  // mapped to $HOME

  launcher_.calls.clear();
  const size_t desktop_calls = desktop_.calls.size();
  TraceCapture trace;
  Key(kLrSat, kLrSatN4);  // a preset of no known kind is not carried out
  EXPECT_TRUE(trace.Contains(" PRESET END\n"));
  EXPECT_TRUE(launcher_.calls.empty());
  EXPECT_EQ(desktop_.calls.size(), desktop_calls);

  Key(kLrSat, kLrSatN5);
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"url ftp://files.example/"});
}

TEST_F(RouterTest, GlobalKeysRunTheirDesktopActions) {
  Start();
  Key(kLrSat, kLrSatVolUp);
  ASSERT_EQ(desktop_.sent.size(), 1u);
  EXPECT_EQ(desktop_.sent[0].message.what, kKeyDown);
  Key(kLrSat, kLrSatMute);
  EXPECT_TRUE(mixer_.muted);
  EXPECT_TRUE(view_.indicators.shown);
  Key(kLrSat, kLrSatFav);  // "FAV" opens the media list, and the keys go to it
  EXPECT_EQ(SentOf(kOpenMediaList).size(), 1u);
  EXPECT_TRUE(Router().MediaListMode());
  Post(kCloseMediaList);
  EXPECT_FALSE(view_.split_switch);
  Key(kLrSat, kLrSatMenu);  // "Menu" switches splitting on
  EXPECT_TRUE(view_.split_switch);
  EXPECT_TRUE(view_.splitting_shown);
  EXPECT_TRUE(prefs_.use_splitting);
  EXPECT_EQ(view_.mini_group, " Splitting: ");
}

TEST_F(RouterTest, MediaListModeKeepsMuteHandsListKeysOverAndDropsVolume) {
  Start();
  Post(kOpenMediaList);
  ASSERT_TRUE(Router().MediaListMode());
  Key(kLrSat, kLrSatVolUp);
  EXPECT_TRUE(desktop_.sent.empty());
  Key(kLrSat, kLrSatMute);
  EXPECT_TRUE(mixer_.muted);
  EXPECT_EQ(view_.Text(RoutingText::kStatusLine), "(Locked) Toplist");
  EXPECT_TRUE(view_.status_shown);
  const size_t desktop_calls = desktop_.calls.size();
  Key(kLrSat, kLrSatUp);  // the media list's key: the pointer stays
  const std::vector<Message> selected = SentOf(kMediaListKey);
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(selected[0].GetInt32("korukey", 0), 61);
  EXPECT_EQ(desktop_.calls.size(), desktop_calls);
  Post(kMediaListClosed);
  EXPECT_FALSE(Router().MediaListMode());
  EXPECT_EQ(view_.Text(RoutingText::kStatusLine), " ");
}

TEST_F(RouterTest, TickSkipsExactlyTheNextMessage) {
  Start();
  TraceCapture trace;
  Post(kSkipNextReport);
  Key(kLrSat, kLrSatN1);
  EXPECT_FALSE(trace.Contains("ask Remote"));
  Key(kLrSat, kLrSatN1);
  EXPECT_TRUE(trace.Contains("ask Remote"));

  Post(kSkipNextReport);
  Post(kHysteresisToggled);  // not one of the skipped codes: toggles, and the flag is gone
  EXPECT_TRUE(Router().Hysteresis());
  EXPECT_TRUE(view_.hysteresis);
  EXPECT_FALSE(Router().SkipFlag());
}

TEST_F(RouterTest, HysteresisDividesTheOneByteCode) {
  Start();
  Post(kHysteresisToggled);
  ASSERT_TRUE(Router().Hysteresis());
  Key(kLrSat, kLrSatN1);  // 179 / 10 = 17: LR-SAT has no such code
  EXPECT_EQ(view_.Text(RoutingText::kKey), "-?-");
  EXPECT_NE(view_.log.find(" (Hyst.)"), std::string::npos);
}

TEST_F(RouterTest, ThePresetFileIsReadAtStartUpWithoutBeingAskedFor) {
  std::ofstream(Remotes() / "_preset_") << "[N1]: 'http://at-start.example/'\n";
  Start();
  EXPECT_EQ(view_.Text(RoutingText::kSplitTitle), " Splitting:  '_preset_' ");
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"url http://at-start.example/"});
}

TEST_F(RouterTest, EveryRereadOfThePresetFileReplacesTheWholeList) {
  Start();
  WritePresets("[N1]: 'http://one.example/'\n[N2]: 'http://two.example/'\n");
  // The binding of "N2" is removed by hand; "Preset edit" reads the file again.
  std::ofstream(Remotes() / "_preset_") << "[N1]: 'http://one.example/'\n";
  Post(kEditPresets);
  Key(kLrSat, kLrSatN2);
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"url http://one.example/"});

  // A file that cannot be read leaves the list as it was.
  std::filesystem::remove(Remotes() / "_preset_");
  Post(kEditPresets);
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_.calls.size(), 2u);
}

TEST_F(RouterTest, ContinuousSwitchStopsAndRestartsTheReceiver) {
  Start();
  Post(kContinueToggled);
  Post(kContinueToggled);
  EXPECT_EQ(view_.receiver_switches, (std::vector<bool>{false, true}));
  EXPECT_TRUE(view_.continuous_box);
}

}  // namespace koru
