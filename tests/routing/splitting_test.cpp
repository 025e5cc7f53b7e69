#include <QMenu>

#include "routing_fixture.h"
#include "shell/menu_field.h"
#include "shell/message_action.h"

namespace {

// Chooses `remote` in a group's menu the way the user does.
void Assign(RcWindow* window, const char* field_name, const char* remote) {
  auto* field = window->findChild<MenuField*>(field_name);
  ASSERT_NE(field, nullptr);
  QAction* item = FindMenuItem(field->Menu(), QString(remote));
  ASSERT_NE(item, nullptr) << remote;
  item->trigger();
  QApplication::processEvents();
}

}  // namespace

TEST_F(RoutingTest, GroupMenusListEveryRemoteAndRestoreTheStoredAssignment) {
  Prefs::SetText(Prefs::getSTPrefs()->Audio, "LR-SAT");
  Start();
  QMenu* audio = Find<MenuField>("r4AuMF")->Menu();
  EXPECT_EQ(audio->actions()[0]->text(), "-unset-");
  EXPECT_TRUE(audio->actions()[1]->isSeparator());
  EXPECT_EQ(audio->actions().size(), 2 + 35);
  EXPECT_EQ(Window()->GroupRemote(3)->fName, "LR-SAT");
  EXPECT_EQ(Find<MenuField>("r4AuMF")->MarkedText(), "LR-SAT");
  EXPECT_EQ(Window()->GroupRemote(1), nullptr);
  QMenu* teach = Find<MenuField>("vaMF")->Menu();
  EXPECT_EQ(teach->actions()[0]->text(), "Add New");
}

TEST_F(RoutingTest, AudioRemoteRunsItsOwnPresetsElseThePlayer) {
  Start();
  Post(FourCC("irpt"));  // nothing changes while the check box is off
  Find<QCheckBox>("ReSplit")->click();
  Settle();
  ASSERT_TRUE(Prefs::getSTPrefs()->use_splitting);
  Assign(Window(), "r4AuMF", "LR-SAT");
  ASSERT_NE(Window()->GroupRemote(3), nullptr);
  EXPECT_STREQ(Prefs::getSTPrefs()->Audio, "LR-SAT");

  WritePresets("[A3]: 'http://radio.example/'\n");
  TraceCapture trace;
  Key(kLrSat, kLrSatN3);
  EXPECT_TRUE(trace.Contains("\n PRESET [33|84] \n"));
  EXPECT_EQ(launcher_->calls, std::vector<std::string>{"url http://radio.example/"});
  EXPECT_EQ(Find<QLabel>("miniType")->text(), "Audio");

  trace.Clear();
  Key(kLrSat, kLrSatN1);  // no [A1]: the audio player's verbs take it
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 1 \n"));
  EXPECT_EQ(launcher_->calls.size(), 1u);
}

TEST_F(RoutingTest, ARemoteInTwoGroupsReachesTheLaterGroupOnlyForKeysLeftOpen) {
  Start();
  Find<QCheckBox>("ReSplit")->click();
  Settle();
  Assign(Window(), "r4dMF", "LR-SAT");
  Assign(Window(), "r4AuMF", "LR-SAT");
  TraceCapture trace;
  Key(kLrSat, kLrSatUp);  // a desktop key: done by the desktop group
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 1 \n"));
  EXPECT_FALSE(trace.Contains("IAudioApps"));
  players_->players["application/x-vnd.marcone-soundplay"] = {0.5f};
  trace.Clear();
  Key(kLrSat, kLrSatVolUp);  // not a desktop key: the audio group acts
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 1 \n"));
}

TEST_F(RoutingTest, MasterFunctionsWorkOnAnyRemoteAndMenuSwitchesSplittingOff) {
  Start();
  Find<QCheckBox>("ReSplit")->click();
  Settle();
  TraceCapture trace;
  Key(kLrSat, kLrSatVolUp);  // in no group: nothing
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 0 \n"));
  EXPECT_TRUE(desktop_->sent.empty());
  Key(kLrSat, kLrSatMute);
  EXPECT_TRUE(mixer_->muted);
  EXPECT_TRUE(trace.Contains(" ## MASTER-FUNC.. 67\n"));
  Key(kLrSat, kLrSatMenu);
  EXPECT_FALSE(Prefs::getSTPrefs()->use_splitting);
  EXPECT_EQ(Find<QLabel>("miniType")->text(), " Default");
  for (const char* name : {"r4wMF", "r4dMF", "r4aMF", "r4AuMF", "r4ViMF"}) {
    EXPECT_FALSE(Find<MenuField>(name)->isEnabled()) << name;
  }
}

TEST_F(RoutingTest, ChoosingUnsetClearsTheGroup) {
  Prefs::SetText(Prefs::getSTPrefs()->Video, "DENON");
  Start();
  ASSERT_NE(Window()->GroupRemote(4), nullptr);
  Assign(Window(), "r4ViMF", "-unset-");
  EXPECT_EQ(Window()->GroupRemote(4), nullptr);
  EXPECT_STREQ(Prefs::getSTPrefs()->Video, "-unset-");
}
