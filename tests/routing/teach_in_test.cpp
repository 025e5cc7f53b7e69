#include <QGroupBox>
#include <QMenu>
#include <fstream>
#include <sstream>

#include "platform/mode2_recording.h"
#include "receiver/code_bytes.h"
#include "receiver/receiver_flags.h"
#include "receiver/replay_session.h"
#include "remotes/frame_encoder.h"
#include "routing_fixture.h"
#include "shell/menu_field.h"
#include "shell/message_action.h"
#include "shell/text_control.h"
#include "test_files.h"

class TeachInTest : public RoutingTest {
 protected:
  void BeginNewRemote(const char* name, int header, bool two_bytes) {
    Post(FourCC("nRgt"));
    Find<TextControl>("te_name")->SetText(name);
    Post(FourCC("nRsn"));
    Find<TextControl>("te_head")->SetText(QString::number(header));
    Post(FourCC("nRsh"));
    Find<QCheckBox>("te_dbyt")->setChecked(two_bytes);
    Post(FourCC("nRdb"));
  }
  void Assign(int32_t keyfn) {
    Message assign(FourCC("nRbs"));
    assign.AddInt32("isCommand", keyfn);
    Window()->MessageReceived(&assign);
  }
  QString TeachData() { return Find<QLabel>("teData")->text(); }
};

TEST_F(TeachInTest, ANewRemoteIsTaughtStoredListedChartedAndRecognised) {
  Start();
  Post(FourCC("nRgt"));
  EXPECT_FALSE(Find<QGroupBox>("teachBox")->isHidden());
  EXPECT_TRUE(Find<QGroupBox>("result")->isHidden());
  EXPECT_FALSE(Find<QPushButton>("TRBut")->isEnabled());
  EXPECT_EQ(Log().rfind("Give name for new remote or select a remote\n", 0), 0u);

  BeginNewRemote("MyRemote", 100200, false);
  EXPECT_FALSE(Find<TextControl>("te_name")->Edit()->isEnabled());
  Key(100200, 5);
  EXPECT_EQ(TeachData(), "select for: '5' ");
  EXPECT_TRUE(Find<QWidget>("teClr")->isHidden());
  Assign(52);
  Key(100200, 5);
  EXPECT_EQ(TeachData(), " '5' is Code for 'N1' ");
  EXPECT_FALSE(Find<QWidget>("teClr")->isHidden());
  Key(100300, 5);
  EXPECT_EQ(TeachData(), "Wrong header, data : 5");

  Post(FourCC("nRad"));
  EXPECT_TRUE(Find<QGroupBox>("teachBox")->isHidden());
  EXPECT_FALSE(Find<QGroupBox>("result")->isHidden());
  const auto file = Program() / "_Remotes_" / "MyRemote";
  ASSERT_TRUE(std::filesystem::exists(file));
  RemoteCL stored;
  stored.RemoteLoad("MyRemote");
  EXPECT_EQ(stored.fComHead, 100200);
  EXPECT_EQ(stored.Slot(2), 5);
  for (const char* field : {"vaMF", "r4dMF", "r4AuMF"}) {
    EXPECT_NE(FindMenuItem(Find<MenuField>(field)->Menu(), QString("MyRemote")), nullptr) << field;
  }
  EXPECT_NE(ReadAll(Program() / "_Remotes_" / "_Chart.html").find("MyRemote"), std::string::npos);
  EXPECT_EQ(Window()->TeachRemote().fName, "-noname-");

  Key(100200, 5);
  EXPECT_EQ(Find<QLabel>("irSender")->text(), "MyRemote");
  EXPECT_EQ(Find<QLabel>("irSenKey")->text(), "N1");
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
    if ((CHECK_SCAN_HYTERESE.load() != 0) != c.hysteresis) Post(FourCC("irCH"));
    BeginNewRemote(c.name, c.header, c.two_bytes);
    Key(c.header, 187, 42);
    Assign(69);  // "OK"
    Post(FourCC("nRad"));
    Key(c.header, 187, 42);
    EXPECT_EQ(Find<QLabel>("irSender")->text(), c.name);
    EXPECT_EQ(Find<QLabel>("irSenKey")->text(), "OK") << c.name;
  }
  if (CHECK_SCAN_HYTERESE.load() != 0) Post(FourCC("irCH"));
}

TEST_F(TeachInTest, SetFreeForgetsTheKeyAndAnExistingRemoteChangesOnlyOnQuit) {
  Start();
  const auto& remotes = Window()->Remotes();
  int32_t position = -1;
  for (size_t i = 0; i < remotes.size(); ++i) {
    if (remotes[i] && remotes[i]->fName == "LR-SAT") position = static_cast<int32_t>(i);
  }
  ASSERT_GE(position, 0);
  Post(FourCC("nRgt"));
  Message choose(FourCC("nRvr"));
  choose.AddInt32("vaRemote", position);
  Window()->MessageReceived(&choose);
  EXPECT_EQ(Window()->TeachRemote().fName, "LR-SAT");
  EXPECT_FALSE(Find<TextControl>("te_name")->Edit()->isEnabled());

  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(TeachData(), " '179' is Code for 'N1' ");
  Post(FourCC("nRcx"));
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(TeachData(), "select for: '179' ");
  EXPECT_EQ(remotes[position]->Slot(2), kLrSatN1);  // the loaded record is untouched

  Post(FourCC("nRad"));
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(Find<QLabel>("irSenKey")->text(), "-?-");  // the file now lacks the code
}

TEST_F(TeachInTest, NamesThatCannotBeFileNamesAreRefused) {
  Start();
  for (const char* bad : {"../evil", "a/b", ".", "..", "", "_preset_", "_Chart.html", ".hidden"}) {
    Post(FourCC("nRgt"));
    Find<TextControl>("te_name")->SetText(bad);
    Post(FourCC("nRsn"));
    EXPECT_NE(Log().find("cannot be a remote file name"), std::string::npos) << bad;
    EXPECT_TRUE(Find<TextControl>("te_name")->Edit()->isEnabled());
    EXPECT_EQ(Window()->TeachRemote().fName, "newRemote");
    Post(FourCC("nRad"));  // an unnamed remote is not written
  }
  EXPECT_FALSE(std::filesystem::exists(Program() / "evil"));
  EXPECT_FALSE(std::filesystem::exists(Program() / "_Remotes_" / "newRemote"));
}

TEST_F(RoutingTest, TheCodeChartIsWrittenFromTheMenu) {
  Start();
  QAction* item = FindMenuItem(Window()->fFileMenu, FourCC("CHRT"));
  ASSERT_NE(item, nullptr);
  item->trigger();
  Settle();
  const std::string chart = ReadAll(Program() / "_Remotes_" / "_ChartData.html");
  EXPECT_NE(chart.find("LR-SAT"), std::string::npos);
  EXPECT_NE(Log().find("_ChartData.html"), std::string::npos);
}

namespace {

// The receiver reports a key press of a remote sends, through the real receiver thread.
std::vector<Message> ReportsOfKeyPress(int32_t header, int32_t mode, int32_t code) {
  KeyPress press;
  std::string why;
  EXPECT_EQ(EncodeKeyPress(header, mode, code, 0, &press, &why), kOk) << why;
  Mode2Recording recording;
  std::string error;
  EXPECT_EQ(ParseMode2(Mode2Text(press.periods), "press", &recording, &error), kOk) << error;
  std::vector<Message> reports;
  ReplayThroughReceiver(recording, [&](bigtime_t, const Message& message) {
    std::string blink;
    if (message.FindString("_blink", &blink) == kOk && StripCodeSeparators(blink).size() > 12) {
      reports.push_back(message);
    }
  });
  return reports;
}

}  // namespace

TEST_F(TeachInTest, AKeyPressRecordedFromTheRemoteIsTaughtAndThenRecognised) {
  const std::vector<Message> reports = ReportsOfKeyPress(200100, 2, 77);
  ASSERT_EQ(reports.size(), 1u);
  Start();
  BeginNewRemote("Recorded", 200100, false);
  Message report = reports[0];
  Window()->MessageReceived(&report);
  EXPECT_EQ(TeachData(), "select for: '77' ");
  Assign(67);  // "Mute"
  Post(FourCC("nRad"));
  report = reports[0];
  Window()->MessageReceived(&report);
  Window()->WaitForActions();
  EXPECT_EQ(Find<QLabel>("irSender")->text(), "Recorded");
  EXPECT_EQ(Find<QLabel>("irSenKey")->text(), "Mute");
  EXPECT_TRUE(mixer_->muted);
}
