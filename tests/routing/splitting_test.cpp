#include <QString>
#include <algorithm>

#include "platform/messaging/trace.h"
#include "presets/preset_messages.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

namespace {
constexpr int32_t kDesktop = 11, kAudio = 13, kVideo = 14;
}

TEST_F(RouterTest, GroupMenusListEveryRemoteAndRestoreTheStoredAssignment) {
  Prefs::SetText(prefs_.Audio, "LR-SAT");
  Start();
  const RemoteMenu& audio = view_.menus.at(kAudio);
  EXPECT_EQ(audio.first, "-unset-");
  EXPECT_EQ(audio.what, kChooseAudioRemote);
  EXPECT_TRUE(audio.checkable);
  ASSERT_EQ(audio.remotes.size(), 35u);
  ASSERT_GE(audio.marked, 0);
  EXPECT_EQ(Router().Remotes()[audio.marked]->name_, "LR-SAT");
  EXPECT_EQ(Router().GroupRemote(3)->name_, "LR-SAT");
  EXPECT_EQ(Router().GroupRemote(1), nullptr);
  EXPECT_EQ(view_.menus.at(kDesktop).marked, -1);
  const RemoteMenu& teach = view_.menus.at(0);
  EXPECT_EQ(teach.first, "Add New");
  EXPECT_EQ(teach.what, kTeachChooseRemote);
  EXPECT_FALSE(teach.checkable);
  // Listed by name, whatever the folder's order.
  for (const RemoteMenu* menu : {&teach, &audio}) {
    std::vector<QString> names;
    for (const auto& [position, name] : menu->remotes)
      names.push_back(QString::fromStdString(name));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const QString& a, const QString& b) {
      return a.compare(b, Qt::CaseInsensitive) < 0;
    }));
  }
}

TEST_F(RouterTest, AudioRemoteRunsItsOwnPresetsElseThePlayer) {
  Start();
  Post(kSplittingToggled);  // nothing changes while the switch is off
  EXPECT_FALSE(prefs_.use_splitting);
  SwitchSplitting(true);
  ASSERT_TRUE(prefs_.use_splitting);
  EXPECT_TRUE(view_.splitting_shown);
  Assign(kAudio, "LR-SAT");
  EXPECT_EQ(view_.focus_dropped, std::vector<int32_t>{kAudio});
  ASSERT_NE(Router().GroupRemote(3), nullptr);
  EXPECT_STREQ(prefs_.Audio, "LR-SAT");
  // The preset editor hears of every group message.
  EXPECT_EQ(SentOf(kPresetLabelsChanged).size(), 3u);

  WritePresets("[A3]: 'http://radio.example/'\n");
  TraceCapture trace;
  Key(kLrSat, kLrSatN3);
  EXPECT_TRUE(trace.Contains("\n PRESET [33|84] \n"));
  EXPECT_EQ(launcher_.calls, std::vector<std::string>{"url http://radio.example/"});
  EXPECT_EQ(view_.mini_group, "Audio");
  EXPECT_EQ(SentOf(kHighlightButton).back().GetInt32("vr_target", 0), 52);
  EXPECT_EQ(view_.lit, (std::array<bool, 5>{false, false, false, true, false}));

  trace.Clear();
  Key(kLrSat, kLrSatN1);  // no [A1]: the audio player's verbs take it
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 1 \n"));
  EXPECT_EQ(launcher_.calls.size(), 1u);
}

TEST_F(RouterTest, ARemoteInTwoGroupsReachesTheLaterGroupOnlyForKeysLeftOpen) {
  Start();
  SwitchSplitting(true);
  Assign(kDesktop, "LR-SAT");
  Assign(kAudio, "LR-SAT");
  TraceCapture trace;
  Key(kLrSat, kLrSatUp);  // a desktop key: done by the desktop group
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 1 \n"));
  EXPECT_FALSE(trace.Contains(" No Audio-App found"));
  trace.Clear();
  Key(kLrSat, kLrSatVolUp);  // not a desktop key: the audio group acts
  EXPECT_TRUE(trace.Contains(" No Audio-App found"));
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 1 \n"));
}

TEST_F(RouterTest, MasterFunctionsWorkOnAnyRemoteAndMenuSwitchesSplittingOff) {
  Start();
  SwitchSplitting(true);
  TraceCapture trace;
  Key(kLrSat, kLrSatVolUp);  // in no group: nothing
  EXPECT_TRUE(trace.Contains(" ## DoWithRemote.. 0 \n"));
  EXPECT_TRUE(desktop_.sent.empty());
  Key(kLrSat, kLrSatMute);
  EXPECT_TRUE(mixer_.muted);
  EXPECT_TRUE(trace.Contains(" ## MASTER-FUNC.. 67\n"));
  Key(kLrSat, kLrSatMenu);
  EXPECT_FALSE(prefs_.use_splitting);
  EXPECT_FALSE(view_.splitting_shown);
  EXPECT_EQ(view_.mini_group, " Default");
}

TEST_F(RouterTest, ChoosingUnsetClearsTheGroupAndARescanRestoresItByName) {
  Prefs::SetText(prefs_.Video, "DENON");
  Start();
  ASSERT_NE(Router().GroupRemote(4), nullptr);
  Router().RescanRemotes();  // the records are new: the group follows the name
  ASSERT_NE(Router().GroupRemote(4), nullptr);
  EXPECT_EQ(Router().GroupRemote(4), RemoteDefinition::FindRemote(&Router().Remotes(), "DENON"));
  Assign(kVideo, "-unset-");
  EXPECT_EQ(Router().GroupRemote(4), nullptr);
  EXPECT_STREQ(prefs_.Video, "-unset-");
}

TEST_F(RouterTest, AnUnknownCodeRunsNoGroupActionWithSplittingOn) {
  Start();
  SwitchSplitting(true);
  // The first remote of the list is the one a failed match tried last.
  const std::string first = Router().Remotes().front()->name_;
  for (int32_t kind : {kDesktop, 12, kAudio, kVideo}) Assign(kind, first);
  TraceCapture trace;
  Key(111222, 61);
  EXPECT_EQ(view_.Text(RoutingText::kRemote), "-unknown-");
  EXPECT_FALSE(trace.Contains("DoWithRemote"));
  EXPECT_TRUE(desktop_.sent.empty());
  EXPECT_EQ(SentOf(kHighlightButton).back().GetInt32("vr_target", 0), 54);
  EXPECT_EQ(view_.mini_group, " Default");
}

}  // namespace koru
