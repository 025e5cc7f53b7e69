#include "platform/messaging/alert.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"
#include "test_files.h"

namespace koru {

using TeachInTest = RouterTest;

TEST_F(TeachInTest, ANewRemoteIsTaughtStoredListedChartedAndRecognised) {
  Play("new_remote.txt");  // the menus list it: 36 remotes
  EXPECT_NE(ReadAll(Remotes() / "_Chart.html").find("MyRemote"), std::string::npos);
}

TEST_F(TeachInTest, TaughtKeysComeBackInEveryModeAndHysteresisSetting) {
  Play("teach_modes.txt");
}

TEST_F(TeachInTest, SetFreeForgetsTheKeyAndAnExistingRemoteChangesOnlyOnQuit) {
  Play("set_free.txt");
  // The loaded record is untouched; "Quit" writes the file without the code.
  EXPECT_EQ(RemoteDefinition::FindRemote(&Router().Remotes(), "LR-SAT")->Slot(2), kLrSatN1);
  Post(kTeachDone);
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(view_.Text(RoutingText::kKey), "-?-");
}

TEST_F(TeachInTest, NamesThatCannotBeFileNamesAreRefused) {
  Play("refused_names.txt");
  EXPECT_FALSE(std::filesystem::exists(Program() / "evil"));
  EXPECT_FALSE(std::filesystem::exists(Remotes() / "newRemote"));
}

TEST_F(TeachInTest, KeysOfOtherRemotesDoNotReplaceTheCodeWaitingForItsFunction) {
  Play("teach_strays.txt");
}

TEST_F(TeachInTest, QuitSaysSoWhenTheRemoteWasNotWritten) {
  SetAlertPresenter(nullptr);
  std::filesystem::create_directories(Remotes() / "Blocked" / "inside");
  Play("teach_quit.txt");
  EXPECT_TRUE(std::filesystem::is_directory(Remotes() / "Blocked"));
}

TEST_F(TeachInTest, AKeyPressRecordedFromTheRemoteIsTaughtAndThenRecognised) {
  Play("recorded_key.txt");
}

}  // namespace koru
