// Exact remotes through the router: taught from recorded presses, recognised from others.
#include "platform/desktop/desktop_messages.h"
#include "remotes/exact_remote_text.h"
#include "remotes/frame_encoder.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"
#include "table_cells.h"
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
  // Held down: one frame, then repeat frames that report the key again.
  const std::vector<ReceiverReport> held = ExactReportsOf("NEC:0x04:0x11", 3, 8);
  ASSERT_GE(held.size(), 3u);
  Start();
  Step("new Amp");
  // Taught from the held press: the repeats find the code taught, and teach nothing else.
  Router().HandleReport(held[0]);
  Step("teach 65");  // Vol+
  for (size_t i = 1; i < held.size(); ++i) {
    Router().HandleReport(held[i]);
    EXPECT_EQ(view_.teach_data, " 'NEC addr 0x04 cmd 0x11' is Code for 'Vol+' ");
  }
  for (int32_t keyfn = kFirstKeyFunction; keyfn <= kLastKeyFunction; ++keyfn)
    EXPECT_EQ(Router().TeachRemote().ExactKey(keyfn).has_value(), keyfn == 65) << keyfn;
  Post(kTeachDone);

  // Held again: every report turns the volume up once more.
  for (const ReceiverReport& report : held) {
    Router().HandleReport(report);
    EXPECT_EQ(view_.Text(RoutingText::kKey), "Vol+");
  }
  ASSERT_EQ(desktop_.sent.size(), held.size());
  for (const auto& sent : desktop_.sent) EXPECT_EQ(sent.message.what, kKeyDown);
}

TEST_F(ExactTeachInTest, ClassicTimingTeachesClassicCodes) {
  Play("classic_timing.txt");
}

}  // namespace

}  // namespace koru
