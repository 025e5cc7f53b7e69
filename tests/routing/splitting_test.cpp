#include <QString>
#include <algorithm>

#include "platform/messaging/trace.h"
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
  for (int32_t kind : {kDesktop, 12, kAudio, kVideo})
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
