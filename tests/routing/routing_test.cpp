#include <QGroupBox>
#include <QMenu>

#include "platform/alert.h"
#include "receiver/receiver_flags.h"
#include "routing_fixture.h"
#include "shell/menu_field.h"

TEST_F(RoutingTest, ReportsAreShownAndMatchedToTheirRemoteAndKey) {
  Start();
  Key(kLrSat, kLrSatN1, 204);
  EXPECT_EQ(Find<QLabel>("irSender")->text(), "LR-SAT");
  EXPECT_EQ(Find<QLabel>("irSenKey")->text(), "N1");
  EXPECT_EQ(Find<QLabel>("irType")->text(), "RC5-Code");
  EXPECT_EQ(Find<QLabel>("irPrgNr")->text(), "179");
  EXPECT_EQ(Find<QLabel>("miniKey")->text(), "N1");
  EXPECT_EQ(Find<QLabel>("miniType")->text(), " Default");
  EXPECT_NE(Log().find(" Header: 253128 | 179 204 --- "), std::string::npos) << Log();
  EXPECT_EQ(Window()->PulseRate(), 250000);

  Key(1002, 1);  // a header no remote has
  EXPECT_EQ(Find<QLabel>("irSender")->text(), "-unknown-");
  EXPECT_EQ(Find<QLabel>("irSenKey")->text(), "-?-");
}

TEST_F(RoutingTest, ShortCodeTextsSlowTheReceiverDownAndTwelveCharactersMatchNothing) {
  Start();
  Report("-0101010101-");  // 11 characters without separators
  EXPECT_EQ(Window()->PulseRate(), 750000);
  EXPECT_TRUE(SLOWDOWN_GLOBAL.load());
  EXPECT_EQ(Find<QLabel>("irSender")->text(), "..pulse");

  TraceCapture trace;
  Report("-010101010101-");  // exactly 12: normal, but no "Header: " and no matching
  EXPECT_EQ(Window()->PulseRate(), 250000);
  EXPECT_FALSE(SLOWDOWN_GLOBAL.load());
  EXPECT_FALSE(trace.Contains("ask Remote"));
  EXPECT_EQ(Log().find("Header: "), std::string::npos);

  Report("-0101010101011-");  // 13: matched
  EXPECT_NE(Log().find("Header: "), std::string::npos);
}

TEST_F(RoutingTest, TheLogIsCrunchedAndAReportWithoutCodeSaysThereIsNoPort) {
  Start();
  for (int i = 0; i < 12; ++i) Key(kLrSat, kLrSatN1, 204);
  EXPECT_LE(Log().size(), 420u);
  EXPECT_NE(Log().find("\t..(Crunched)"), std::string::npos);

  SetAlertPresenter(nullptr);
  TraceCapture trace;
  CHECK_SCAN_IR = 1;
  Post(FourCC("irCE"));
  EXPECT_EQ(CHECK_SCAN_IR.load(), 0);
  EXPECT_EQ(Log().rfind("..no port \t\tserial2", 0), 0u) << Log();
  EXPECT_TRUE(trace.Contains("..no port \t\tserial2\n"));
}

TEST_F(RoutingTest, GlobalPresetsRunTheirTargetAndNothingElse) {
  ScopedEnv home("HOME", ProgramHome().c_str());
  std::ofstream(ProgramHome() / "notes.txt") << "notes";
  Start();
  WritePresets(
      "[N1]: 'http://example.org/x'\n[N2]: 'Workspace'\n[N3]: '/boot/home/notes.txt'\n"
      "[N4]: 'ftp://not-a-preset'\n");
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"url http://example.org/x"});
  EXPECT_TRUE(desktop_->sent.empty());

  Key(kLrSat, kLrSatN2);
  EXPECT_FALSE(desktop_->calls.empty());  // the workspace switch asked the desktop

  launcher_->calls.clear();
  Key(kLrSat, kLrSatN3);
  ASSERT_EQ(launcher_->calls.size(), 1u);
  EXPECT_NE(launcher_->calls[0].find("notes.txt"), std::string::npos);
  EXPECT_EQ(launcher_->calls[0].find("/boot/home"), std::string::npos);  // mapped to $HOME

  launcher_->calls.clear();
  const size_t desktop_calls = desktop_->calls.size();
  TraceCapture trace;
  Key(kLrSat, kLrSatN4);  // a preset of no known kind is not carried out
  EXPECT_TRUE(trace.Contains(" PRESET END\n"));
  EXPECT_TRUE(launcher_->calls.empty());
  EXPECT_EQ(desktop_->calls.size(), desktop_calls);
}

TEST_F(RoutingTest, GlobalKeysRunTheirDesktopActions) {
  Start();
  Key(kLrSat, kLrSatVolUp);
  ASSERT_EQ(desktop_->sent.size(), 1u);
  EXPECT_EQ(desktop_->sent[0].message.what, FourCC("_KYD"));
  Key(kLrSat, kLrSatMute);
  EXPECT_TRUE(mixer_->muted);
  Settle();  // the indicator is set on the GUI thread
  EXPECT_TRUE(Find<QPushButton>("fMute")->isChecked());
  Key(kLrSat, kLrSatFav);  // "FAV" asks for the media list; the mode itself stays off
  EXPECT_FALSE(Window()->MediaListMode());
  EXPECT_FALSE(Find<QCheckBox>("ReSplit")->isChecked());
  Key(kLrSat, kLrSatMenu);  // "Menu" switches splitting on
  EXPECT_TRUE(Find<QCheckBox>("ReSplit")->isChecked());
  EXPECT_TRUE(Prefs::getSTPrefs()->use_splitting);
}

TEST_F(RoutingTest, MediaListModeKeepsMuteAndDropsVolume) {
  Start();
  Post(FourCC("MW_O"));
  ASSERT_TRUE(Window()->MediaListMode());
  Key(kLrSat, kLrSatVolUp);
  EXPECT_TRUE(desktop_->sent.empty());
  Key(kLrSat, kLrSatMute);
  EXPECT_TRUE(mixer_->muted);
  EXPECT_EQ(Find<QLabel>("gloInfo")->text(), "(Locked) Toplist");
  Post(FourCC("MW_Q"));
  EXPECT_FALSE(Window()->MediaListMode());
}

TEST_F(RoutingTest, TickSkipsExactlyTheNextMessage) {
  Start();
  TraceCapture trace;
  Post(FourCC("TICK"));
  Key(kLrSat, kLrSatN1);
  EXPECT_FALSE(trace.Contains("ask Remote"));
  Key(kLrSat, kLrSatN1);
  EXPECT_TRUE(trace.Contains("ask Remote"));

  const bool before = CHECK_SCAN_HYTERESE.load() != 0;
  Post(FourCC("TICK"));
  Post(FourCC("irCH"));  // not one of the skipped codes: toggles, and the flag is gone
  EXPECT_NE(CHECK_SCAN_HYTERESE.load() != 0, before);
  EXPECT_EQ(Find<QCheckBox>("hyCheckBox")->isChecked(), !before);
  EXPECT_FALSE(Window()->SkipFlag());
  Post(FourCC("irCH"));
}

TEST_F(RoutingTest, HysteresisDividesTheOneByteCode) {
  Start();
  Post(FourCC("irCH"));
  ASSERT_NE(CHECK_SCAN_HYTERESE.load(), 0);
  TraceCapture trace;
  Key(kLrSat, kLrSatN1);  // 179 / 10 = 17: LR-SAT has no such code
  EXPECT_EQ(Find<QLabel>("irSenKey")->text(), "-?-");
  EXPECT_NE(Log().find(" (Hyst.)"), std::string::npos);
  Post(FourCC("irCH"));
}

TEST_F(RoutingTest, ThePresetFileIsReadAtStartUpWithoutBeingAskedFor) {
  std::filesystem::create_directories(Program() / "_Remotes_");
  std::ofstream(Program() / "_Remotes_" / "_preset_") << "[N1]: 'http://at-start.example/'\n";
  Start();
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"url http://at-start.example/"});
}

TEST_F(RoutingTest, ClosingTheWindowStopsTheReceiverWithoutANoPortAlert) {
  Start();
  int alerts = 0;
  SetAlertPresenter([&](const std::string&) { ++alerts; });
  TraceCapture trace;
  app_.reset();
  SetAlertPresenter(nullptr);
  EXPECT_EQ(alerts, 0);
  EXPECT_FALSE(trace.Contains("..no port"));
  EXPECT_EQ(CHECK_SCAN_IR.load(), 0);
}
