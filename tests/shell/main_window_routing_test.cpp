// The main window as the key router's view: messages in, widgets read back. The routing itself
// is tested on the router (tests/routing); these check that the window shows it and feeds it.
#include <QAbstractTextDocumentLayout>
#include <QStyle>
#include <QTextBlock>

#include "shell_fixture.h"

namespace koru {

using WindowRoutingTest = ShellTest;

TEST_F(WindowRoutingTest, ReportsReachTheKeyDisplayTheCompactViewAndTheReceiver) {
  Start();
  Key(kLrSat, kLrSatN1, 204);
  EXPECT_EQ(Texts("irSender irSenKey irType irPrgNr miniKey miniRem miniType"),
            "LR-SAT / N1 / RC5-Code / 179 / N1 / LR-SAT /  Default");
  EXPECT_NE(Log().find(" Header: 253128 | 179 204 --- "), std::string::npos) << Log();
  // The log's lines are never wrapped: the time stays on the line of its code.
  const QTextBlock first = Find<QTextEdit>("text_view")->document()->firstBlock();
  ASSERT_TRUE(first.text().contains("Header:")) << first.text().toStdString();
  EXPECT_EQ(first.layout()->lineCount(), 1);
  EXPECT_EQ(Window()->PulseRate(), 250000);
  Post(kClearShownKey);
  EXPECT_EQ(Texts("irSenKey"), "  ");

  Report("-0101010101-");  // short: the receiver slows down through the shared flag
  EXPECT_EQ(Window()->PulseRate(), 750000);
  EXPECT_TRUE(Window()->Flags().slow_down.load());
  EXPECT_EQ(Texts("irSender"), "..pulse");

  SetAlertPresenter(nullptr);
  TraceCapture trace;
  Window()->Flags().scanning = 1;
  Window()->Router().HandleReceiverTurnedAway();
  EXPECT_EQ(Window()->Flags().scanning.load(), 0);
  EXPECT_EQ(Log().rfind("..no port \t\tserial2", 0), 0u) << Log();
}

TEST_F(WindowRoutingTest, GroupMenusAreBuiltFromTheRouterAndChosenThroughTheirItems) {
  Prefs::SetText(Settings()->Audio, "LR-SAT");
  Start();
  QMenu* audio = Find<MenuField>("r4AuMF")->Menu();
  EXPECT_EQ(MenuText(audio).substr(0, 20), "-unset-, --, AIWA_A,");
  EXPECT_EQ(audio->actions().size(), 2 + 35);
  QMenu* teach = Find<MenuField>("vaMF")->Menu();
  EXPECT_EQ(teach->actions()[0]->text(), "Add New");
  EXPECT_TRUE(teach->style()->styleHint(QStyle::SH_Menu_Scrollable, nullptr, teach))
      << "one column that scrolls";
  RunSteps("shell/data/group_menus.steps");
  EXPECT_FALSE(Settings()->use_splitting);
  ASSERT_NE(Window()->Router().GroupRemote(4), nullptr);
  EXPECT_EQ(Window()->Router().GroupRemote(4)->name_, "DENON");
  EXPECT_STREQ(Settings()->Video, "DENON");
}

TEST_F(WindowRoutingTest, ARemoteIsTaughtThroughTheTeachBox) {
  Start();
  Window()->show();
  Window()->activateWindow();
  QApplication::setActiveWindow(Window());
  RunSteps("shell/data/teach_in.steps");
  EXPECT_TRUE(FindMenuItem(Find<MenuField>("teMF")->Menu(), QString("N1"))->isChecked());
  EXPECT_NE(FindMenuItem(Find<MenuField>("vaMF")->Menu(), QString("MyRemote")), nullptr);
  RemoteDefinition stored(setup_.remote_folder);
  stored.RemoteLoad("MyRemote");
  EXPECT_EQ(stored.header_, 100200);
  EXPECT_EQ(stored.Slot(2), 5);
}

TEST_F(WindowRoutingTest, SwitchesIndicatorsTheMediaListLineAndTheCodeChartFollowTheRouter) {
  Start();
  RunSteps("shell/data/main_window.steps", "switches on");
  EXPECT_TRUE(Window()->Router().Hysteresis());
  EXPECT_EQ(Window()->Flags().receiving.load(), 0);
  RunSteps("shell/data/main_window.steps", "keys, media list and chart");
  EXPECT_FALSE(Window()->Router().Hysteresis());
  EXPECT_EQ(Window()->Flags().receiving.load(), 1);
  EXPECT_TRUE(mixer_->muted);
  EXPECT_TRUE(desktop_->sent.empty());
  EXPECT_NE(ReadAll(Program() / "_Remotes_" / "_ChartData.html").find("LR-SAT"), std::string::npos);
  EXPECT_NE(Log().find("_ChartData.html"), std::string::npos);
}

TEST_F(WindowRoutingTest, ClosingTheWindowStopsTheReceiverWithoutANoPortAlert) {
  Start();
  int alerts = 0;
  SetAlertPresenter([&](const std::string&) { ++alerts; });
  TraceCapture trace;
  app_.reset();
  SetAlertPresenter(nullptr);
  EXPECT_EQ(alerts, 0);
  EXPECT_FALSE(trace.Contains("..no port"));
}

}  // namespace koru
