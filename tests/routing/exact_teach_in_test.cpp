// Exact remotes through the router: taught from recorded presses, recognised from others.
#include <random>

#include "platform/desktop/desktop_messages.h"
#include "receiver/exact/exact_encoder.h"
#include "remotes/exact_remote_text.h"
#include "remotes/frame_encoder.h"
#include "router_fixture.h"
#include "routing/routing_messages.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

bool IsExactReport(const ReceiverReport& report) {
  return report.exact.has_value();
}

// The reports with an exact code of one press of `field` (`extra` more frames, as a key held
// down), through the real receiver thread, every period moved by up to 200 us.
std::vector<ReceiverReport> ExactReportsOf(const std::string& field, uint32_t seed,
                                           int32_t extra = 0) {
  const std::optional<ExactCode> code = ParseExactField(field);
  EXPECT_TRUE(code) << field;
  std::vector<int32_t> periods;
  EXPECT_TRUE(code && EncodeExactPress(*code, extra, &periods)) << field;
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> shift(-200, 200);
  for (int32_t& period : periods) period = std::max(1, period + shift(rng));
  std::vector<ReceiverReport> reports = ReceiverReports(periods, IsExactReport);
  EXPECT_FALSE(reports.empty()) << field;
  return reports;
}

// The first of them for a short press.
ReceiverReport ExactReportOf(const std::string& field, uint32_t seed) {
  std::vector<ReceiverReport> reports = ExactReportsOf(field, seed);
  return reports.empty() ? ReportOf("-") : reports.front();
}

// A press of a classic remote's key (one-byte mode) as the receiver reports it, exact code and
// all.
ReceiverReport ClassicKeyReportOf(int32_t header, int32_t code) {
  KeyPress press;
  std::string why;
  EXPECT_EQ(EncodeKeyPress(header, 2, code, 0, &press, &why), kOk) << why;
  const std::vector<ReceiverReport> reports = ReceiverReports(press.periods, IsExactReport);
  EXPECT_FALSE(reports.empty()) << header << " " << code;
  return reports.empty() ? ReportOf("-") : reports.front();
}

class ExactTeachInTest : public RouterTest {
 protected:
  void Press(const std::string& field, uint32_t seed) {
    Router().HandleReport(ExactReportOf(field, seed));
  }
};

TEST_F(ExactTeachInTest, ARemoteTaughtFromJitteredPressesIsRecognisedKeyByKeyFromOthers) {
  Start();
  BeginNewRemote("Tuner");
  EXPECT_FALSE(view_.classic_codes);
  const auto keys = ReadTable("routing/data/exact_keys.tsv", 3);  // code, key function, label
  uint32_t seed = 1;
  for (const auto& key : keys) {
    Press(key[0], seed++);
    EXPECT_EQ(view_.teach_data, "select for: '" + ExactReadable(*ParseExactField(key[0])) + "' ");
    TeachTo(CellNumber(key[1]));
  }
  EXPECT_EQ(view_.TeachFieldText(TeachField::kHeader), "NEC:0x04");
  Post(kTeachDone);

  RemoteDefinition stored(Remotes());
  stored.RemoteLoad("Tuner");
  ASSERT_TRUE(stored.IsExact());
  EXPECT_EQ(ExactHeadText(stored.ExactHead()), "NEC:0x04");
  for (const auto& key : keys) EXPECT_EQ(ExactField(*stored.ExactKey(CellNumber(key[1]))), key[0]);
  EXPECT_NE(ReadAll(Remotes() / "_Chart.html").find("title='NEC addr 0x04 cmd 0x08'>x"),
            std::string::npos);

  for (const auto& key : keys) {
    Press(key[0], 100 + seed++);
    EXPECT_EQ(view_.Shown(), "Tuner " + key[2]) << key[0];
    EXPECT_EQ(view_.Text(RoutingText::kKeyValue), ExactReadable(*ParseExactField(key[0])));
    EXPECT_EQ(view_.pressed_key, CellNumber(key[1]));
  }
  EXPECT_TRUE(mixer_.muted);

  // A key of the same address that was not taught, and the classic remotes still there.
  Press("NEC:0x04:0x33", 7);
  EXPECT_EQ(view_.Shown(), "-unknown- -?-");
  Key(kLrSat, kLrSatN1);
  EXPECT_EQ(view_.Shown(), "LR-SAT N1");
}

TEST_F(ExactTeachInTest, ACodeTaughtToOneKeyIsRefusedForAnotherInBothModes) {
  Start();
  BeginNewRemote("Twice");
  Press("NEC:0x04:0x08", 1);
  TeachTo(52);
  Press("NEC:0x04:0x08", 2);
  EXPECT_EQ(view_.teach_data, " 'NEC addr 0x04 cmd 0x08' is Code for 'N1' ");
  EXPECT_TRUE(view_.offers_set_free);
  TeachTo(53);
  EXPECT_EQ(view_.teach_data, " 'NEC addr 0x04 cmd 0x08' is Code for 'N1' - not taught to 'N2' ");
  EXPECT_EQ(view_.teach_tone, TeachTone::kTaken);
  EXPECT_FALSE(Router().TeachRemote().ExactKey(53));
  // Set free, the code may go to another key.
  Post(kTeachClearKey);
  TeachTo(53);
  EXPECT_EQ(Router().TeachRemote().ExactFunction(*ParseExactField("NEC:0x04:0x08")), 53);
  // With keys taught the kind of codes stays.
  view_.classic_codes = true;
  Post(kTeachClassicToggled);
  EXPECT_FALSE(view_.classic_codes);
  EXPECT_TRUE(Router().TeachRemote().IsExact());

  // Classic codes: the same refusal.
  Message choose(kTeachChooseRemote);
  choose.AddInt32("vaRemote", -1);
  view_.classic_codes = true;
  Router().HandleMessage(&choose);
  EXPECT_FALSE(Router().TeachRemote().IsExact());
  view_.field_text[TeachField::kHeader] = std::to_string(kLrSat);
  Post(kTeachHeaderEdited);
  Key(kLrSat, kLrSatN1);
  TeachTo(52);
  Key(kLrSat, kLrSatN1);
  TeachTo(60);
  EXPECT_EQ(view_.teach_data, " '179' is Code for 'N1' - not taught to 'N9' ");
  EXPECT_EQ(Router().TeachRemote().Slot(10), 0);
  EXPECT_EQ(Router().TeachRemote().Slot(2), kLrSatN1);
}

TEST_F(ExactTeachInTest, KeysOfOtherRemotesDoNotReplaceTheKeyWaitingForItsFunction) {
  Start();
  BeginNewRemote("Tuner3");
  Press("NEC:0x30:0x01", 1);
  TeachTo(52);
  Press("NEC:0x30:0x02", 2);
  const std::string waiting = view_.teach_data;
  ASSERT_EQ(waiting, "select for: 'NEC addr 0x30 cmd 0x02' ");
  const std::string lr_sat_n5 = "Wrong header, data : NEC32 addr 0x7F20 cmd 0x621D ('LR-SAT')";
  const struct {
    ReceiverReport report;
    const char* shown;
    const char* remote;
  } strays[] = {
      {ClassicKeyReportOf(kLrSat, kLrSatN5), lr_sat_n5.c_str(), "LR-SAT"},
      {ExactReportOf("NEC:0x31:0x02", 3), "Wrong header, data : NEC addr 0x31 cmd 0x02",
       "-unknown-"},
      {ExactReportOf("Sony12:0x01:0x15", 4), "Wrong header, data : Sony12 addr 0x01 cmd 0x15",
       "-unknown-"},
  };
  for (const auto& stray : strays) {
    Router().HandleReport(stray.report);
    EXPECT_EQ(view_.teach_data, stray.shown);
    EXPECT_EQ(view_.teach_tone, TeachTone::kTaken) << stray.shown;
    EXPECT_EQ(view_.Text(RoutingText::kRemote), stray.remote) << stray.shown;
  }
  TeachTo(53);
  EXPECT_EQ(Router().TeachRemote().ExactFunction(*ParseExactField("NEC:0x30:0x02")), 53);
  EXPECT_EQ(view_.log.rfind("'NEC addr 0x30 cmd 0x02' taught to 'N2'\n", 0), 0u) << view_.log;
  EXPECT_EQ(Router().TeachRemote().ExactFunction(*ParseExactField("NEC32:0x7F20:0x621D")),
            kNoKeyFunction);

  // With nothing waiting, a loaded remote's key is still refused; a key of another protocol
  // may join the remote.
  Router().HandleReport(ClassicKeyReportOf(kLrSat, kLrSatN5));
  EXPECT_EQ(view_.teach_data, lr_sat_n5);
  Press("Sony12:0x01:0x15", 5);
  EXPECT_EQ(view_.teach_data, "select for: 'Sony12 addr 0x01 cmd 0x15' ");
}

TEST_F(ExactTeachInTest, AHeldNecKeyIsTaughtOnceAndRepeatsItsAction) {
  // Held down: one frame, then repeat frames that report the key again.
  const std::vector<ReceiverReport> held = ExactReportsOf("NEC:0x04:0x11", 3, 8);
  ASSERT_GE(held.size(), 3u);
  Start();
  BeginNewRemote("Amp");
  // Taught from the held press: the repeats find the code taught, and teach nothing else.
  Router().HandleReport(held[0]);
  TeachTo(65);  // Vol+
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
  prefs_.classic_timing = true;
  Start();
  BeginNewRemote("Old");
  EXPECT_TRUE(view_.classic_codes);
  EXPECT_FALSE(Router().TeachRemote().IsExact());

  // Without the setting, a receiver that sends no exact code turns the empty remote classic.
  prefs_.classic_timing = false;
  BeginNewRemote("Fallback");
  EXPECT_TRUE(Router().TeachRemote().IsExact());
  view_.field_text[TeachField::kHeader] = std::to_string(kLrSat);
  Post(kTeachHeaderEdited);
  Key(kLrSat, kLrSatN2);
  EXPECT_TRUE(view_.classic_codes);
  EXPECT_FALSE(Router().TeachRemote().IsExact());
  EXPECT_EQ(view_.teach_data, "select for: '211000' ");  // "2 Bytes for Command" is on
}

}  // namespace

}  // namespace koru
