// Exact remotes through the router: taught from recorded presses, recognised from others.
#include "router_fixture.h"
#include "test_files.h"

namespace koru {

namespace {

using ExactTeachInTest = RouterTest;

TEST_F(ExactTeachInTest, ARemoteTaughtFromJitteredPressesIsRecognisedKeyByKeyFromOthers) {
  Play("exact_tuner.txt");
  EXPECT_NE(ReadAll(Remotes() / "_Chart.html").find("title='NEC addr 0x04 cmd 0x08'>x"),
            std::string::npos);
}

TEST_F(ExactTeachInTest, ACodeTaughtToOneKeyIsRefusedForAnotherInBothModes) {
  Play("exact_refusal.txt");
}

TEST_F(ExactTeachInTest, KeysOfOtherRemotesDoNotReplaceTheKeyWaitingForItsFunction) {
  Play("exact_strays.txt");
}

TEST_F(ExactTeachInTest, AHeldNecKeyIsTaughtOnceAndRepeatsItsAction) {
  Play("held_key.txt");
}

TEST_F(ExactTeachInTest, ClassicTimingTeachesClassicCodes) {
  Play("classic_timing.txt");
}

}  // namespace

}  // namespace koru
