#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "receiver/code_bytes.h"
#include "remotes/frame_encoder.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"
#include "test_files.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

class TeachInTest : public RouterTest {
 protected:
  void Choose(const std::string& remote) {
    int32_t position = -1;
    for (const auto& [at, name] : view_.menus.at(0).remotes) {
      if (name == remote) position = at;
    }
    ASSERT_GE(position, 0) << remote;
    Message choose(kTeachChooseRemote);
    choose.AddInt32("vaRemote", position);
    Router().HandleMessage(&choose);
  }
};

TEST_F(TeachInTest, ANewRemoteIsTaughtStoredListedChartedAndRecognised) {
  Start();
  Post(kTeachStart);
  EXPECT_TRUE(view_.teach_box);
  EXPECT_TRUE(view_.locked);
  EXPECT_TRUE(Router().Teaching());
  EXPECT_EQ(view_.log.rfind("Give name for new remote or select a remote\n", 0), 0u);
  // Exact codes first: the header is the first key's, not typed.
  EXPECT_EQ(view_.TeachFieldText(TeachField::kHeader), "from the first key");
  view_.classic_codes = true;
  Post(kTeachClassicToggled);
  EXPECT_EQ(view_.TeachFieldText(TeachField::kHeader), "first Value");
  view_.classic_codes = false;
  Post(kTeachClassicToggled);
  EXPECT_TRUE(view_.two_bytes);

  BeginNewRemote("MyRemote", 100200, false);
  EXPECT_FALSE(view_.field_enabled[TeachField::kName]);
  EXPECT_FALSE(view_.field_enabled[TeachField::kHeader]);
  Key(100200, 5);
  EXPECT_EQ(view_.teach_data, "select for: '5' ");
  EXPECT_EQ(view_.teach_tone, TeachTone::kFree);
  EXPECT_FALSE(view_.offers_set_free);
  EXPECT_EQ(SentOf(kHighlightButton).back().GetInt32("vr_key", -1), 0);
  EXPECT_TRUE(mixer_.writes == 0 && desktop_.sent.empty());  // teaching routes nothing
  TeachTo(52);
  EXPECT_TRUE(view_.key_marks["N1"]);
  EXPECT_EQ(view_.log.rfind("'5' taught to 'N1'\n", 0), 0u) << view_.log;
  Key(100200, 5);
  EXPECT_EQ(view_.teach_data, " '5' is Code for 'N1' ");
  EXPECT_TRUE(view_.offers_set_free);
  EXPECT_EQ(SentOf(kHighlightButton).back().GetInt32("vr_key", -1), 52);
  Key(100300, 5);
  EXPECT_EQ(view_.teach_data, "Wrong header, data : 5");
  EXPECT_EQ(view_.teach_tone, TeachTone::kTaken);

  Post(kTeachDone);
  EXPECT_FALSE(view_.teach_box);
  EXPECT_FALSE(view_.locked);
  EXPECT_EQ(view_.receiver_switches, (std::vector<bool>{false, true}));
  EXPECT_EQ(view_.log.rfind("Done..\n", 0), 0u);
  RemoteDefinition stored(Remotes());
  ASSERT_TRUE(std::filesystem::exists(Remotes() / "MyRemote"));
  stored.RemoteLoad("MyRemote");
  EXPECT_EQ(stored.header_, 100200);
  EXPECT_EQ(stored.Slot(2), 5);
  for (int32_t kind : {0, 11, 13}) {
    const auto& remotes = view_.menus.at(kind).remotes;
    EXPECT_TRUE(std::any_of(remotes.begin(), remotes.end(), [](const auto& item) {
      return item.second == "MyRemote";
    })) << kind;
  }
  EXPECT_NE(ReadAll(Remotes() / "_Chart.html").find("MyRemote"), std::string::npos);
  EXPECT_EQ(Router().TeachRemote().name_, "-noname-");

  Key(100200, 5);
  EXPECT_EQ(view_.Shown(), "MyRemote N1");
}

// A key taught in one mode is recognised afterwards by the same key in that mode.
TEST_F(TeachInTest, TaughtKeysComeBackInEveryModeAndHysteresisSetting) {
  Start();
  const struct {
    const char* name;
    int header;
    bool two_bytes;
    bool hysteresis;
  } cases[] = {{"OneByte", 101001, false, false},
               {"OneByteHyst", 101002, false, true},
               {"TwoBytes", 101003, true, false},
               {"TwoBytesHyst", 101004, true, true}};
  for (const auto& c : cases) {
    if (Router().Hysteresis() != c.hysteresis) Post(kHysteresisToggled);
    BeginNewRemote(c.name, c.header, c.two_bytes);
    Key(c.header, 187, 42);
    TeachTo(69);  // "OK"
    Post(kTeachDone);
    Key(c.header, 187, 42);
    EXPECT_EQ(view_.Shown(), std::string(c.name) + " OK") << c.name;
  }
}

TEST_F(TeachInTest, SetFreeForgetsTheKeyAndAnExistingRemoteChangesOnlyOnQuit) {
  Start();
  Post(kTeachStart);
  Choose("LR-SAT");
  EXPECT_EQ(Router().TeachRemote().name_, "LR-SAT");
  EXPECT_EQ(view_.TeachFieldText(TeachField::kName), "LR-SAT");
  EXPECT_EQ(view_.field_look[TeachField::kName], TeachFieldLook::kExisting);
  EXPECT_FALSE(view_.field_enabled[TeachField::kName]);
  EXPECT_EQ(SentOf(kOpenVirtualRemote).size(), 1u);
  const RemoteDefinition* loaded = RemoteDefinition::FindRemote(&Router().Remotes(), "LR-SAT");

  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(view_.teach_data, " '179' is Code for 'N1' ");
  Post(kTeachClearKey);
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(view_.teach_data, "select for: '179' ");
  EXPECT_EQ(loaded->Slot(2), kLrSatN1);  // the loaded record is untouched

  Post(kTeachDone);
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(view_.Text(RoutingText::kKey), "-?-");  // the file now lacks the code
}

TEST_F(TeachInTest, NamesThatCannotBeFileNamesAreRefused) {
  Start();
  for (const char* bad : {"../evil", "a/b", ".", "..", "", "_preset_", "_Chart.html", ".hidden"}) {
    Post(kTeachStart);
    view_.field_text[TeachField::kName] = bad;
    Post(kTeachNameEdited);
    EXPECT_NE(view_.log.find("cannot be a remote file name"), std::string::npos) << bad;
    EXPECT_TRUE(view_.field_enabled[TeachField::kName]);
    EXPECT_EQ(Router().TeachRemote().name_, "newRemote");
    Post(kTeachDone);  // an unnamed remote is not written
  }
  EXPECT_FALSE(std::filesystem::exists(Program() / "evil"));
  EXPECT_FALSE(std::filesystem::exists(Remotes() / "newRemote"));
}

TEST_F(TeachInTest, KeysOfOtherRemotesDoNotReplaceTheCodeWaitingForItsFunction) {
  Start();
  BeginNewRemote("Mine", 100200, false);
  Key(100200, 5);
  EXPECT_EQ(view_.teach_data, "select for: '5' ");
  Key(kLrSat, kLrSatN1);  // a loaded remote's key arrives before the user chooses
  Key(100300, 9);         // and an unknown one
  EXPECT_EQ(view_.teach_data, "Wrong header, data : 9");
  TeachTo(52);
  Post(kTeachDone);
  RemoteDefinition stored(Remotes());
  stored.RemoteLoad("Mine");
  EXPECT_EQ(stored.Slot(2), 5);
}

TEST_F(TeachInTest, QuitSaysSoWhenTheRemoteWasNotWritten) {
  Start();
  // Never named, nothing taught: nothing to lose, the box closes.
  Post(kTeachStart);
  Post(kTeachDone);
  EXPECT_FALSE(view_.teach_box);
  EXPECT_EQ(view_.log.rfind("Nothing saved: the remote has no name.\n", 0), 0u) << view_.log;

  // Taught but unnamed: the first "Quit" warns and stays, naming it then saves it.
  Post(kTeachStart);
  view_.field_text[TeachField::kHeader] = "100200";
  Post(kTeachHeaderEdited);
  Key(100200, 7);
  TeachTo(53);
  Post(kTeachDone);
  EXPECT_TRUE(view_.teach_box);
  EXPECT_NE(view_.log.find("no name yet"), std::string::npos);
  view_.field_text[TeachField::kName] = "Named";
  Post(kTeachNameEdited);
  Post(kTeachDone);
  EXPECT_FALSE(view_.teach_box);
  EXPECT_EQ(view_.log.rfind("Done..\n", 0), 0u);
  EXPECT_TRUE(std::filesystem::exists(Remotes() / "Named"));

  // A file that cannot be written: no "Done..", and the alert says why.
  SetAlertPresenter(nullptr);
  std::filesystem::create_directories(Remotes() / "Blocked" / "inside");
  BeginNewRemote("Blocked", 100300, false);
  Key(100300, 8);
  TeachTo(54);
  Post(kTeachDone);
  EXPECT_FALSE(view_.teach_box);
  EXPECT_EQ(view_.log.rfind("The remote 'Blocked' could not be written", 0), 0u) << view_.log;
  EXPECT_TRUE(std::filesystem::is_directory(Remotes() / "Blocked"));
}

TEST_F(TeachInTest, AKeyPressRecordedFromTheRemoteIsTaughtAndThenRecognised) {
  KeyPress press;
  std::string why;
  ASSERT_EQ(EncodeKeyPress(200100, 2, 77, 0, &press, &why), kOk) << why;
  const std::vector<ReceiverReport> reports = ReceiverReports(press.periods, IsKeyReport);
  ASSERT_EQ(reports.size(), 1u);
  Start();
  BeginNewRemote("Recorded", 200100, false);
  view_.classic_codes = true;
  Post(kTeachClassicToggled);
  Router().HandleReport(reports[0]);
  EXPECT_EQ(view_.teach_data, "select for: '77' ");
  TeachTo(67);  // "Mute"
  Post(kTeachDone);
  Router().HandleReport(reports[0]);
  EXPECT_EQ(view_.Shown(), "Recorded Mute");
  EXPECT_TRUE(mixer_.muted);
}

}  // namespace koru
