#include "action_fixture.h"
#include "actions/action_messages.h"
#include "platform/media/media_messages.h"
#include "table_cells.h"
#include "test_files.h"

namespace koru {

namespace {

using MediaActionsTest = ActionTest;

TEST_F(MediaActionsTest, WalkStopsWithoutAPlayerAndIsBounded) {
  DoCommand(services, kPlayerNext);
  EXPECT_EQ(players.lookups, 1);
  EXPECT_TRUE(players.calls.empty());

  players.players[kSoundplaySignature] = std::vector<float>(100, 0.5f);
  players.lookups = 0;
  DoCommand(services, kPlayerNext);
  EXPECT_EQ(players.lookups, kMaxPlayerTracks);
  EXPECT_EQ(players.calls.size(), static_cast<size_t>(kMaxPlayerTracks));
}

TEST_F(MediaActionsTest, PlayLaunchesThePlayerAndPollsEveryHalfSecond) {
  desktop.launch_results[kSoundplaySignature] = kOk;
  int polls_until_up = 3;
  // The player shows up after three polls.
  desktop.on_launch = [&](const std::string&, status_t) { polls_until_up = 3; };
  struct Appearing : FakeMediaPlayers {
    int* countdown;
    std::vector<std::string> RunningPlayers() override {
      if (*countdown > 0 && --*countdown == 0) players[kSoundplaySignature] = {1.0f};
      return FakeMediaPlayers::RunningPlayers();
    }
  } appearing;
  appearing.countdown = &polls_until_up;
  services.players = &appearing;
  bigtime_t start = clock.Now();
  DoCommand(services, kPlayerPlay);
  EXPECT_EQ(desktop.calls,
            (std::vector<std::string>{std::string("launch ") + kSoundplaySignature}));
  // First check before launch, then checks at 0, 0.5 and 1.0 s after it.
  EXPECT_EQ(clock.Now() - start, 1'000'000);
  EXPECT_EQ(appearing.calls,
            (std::vector<std::string>{"pitch " + std::string(kSoundplaySignature) + "#0 1"}));
}

TEST_F(MediaActionsTest, PlayGivesUpAfterTenSeconds) {
  desktop.launch_results[kSoundplaySignature] = kError;
  bigtime_t start = clock.Now();
  DoCommand(services, kPlayerPlay);
  EXPECT_EQ(clock.Now() - start, 10'000'000);
  EXPECT_TRUE(players.calls.empty());
}

TEST_F(MediaActionsTest, MuteQueriesAndTogglesAndTheButtonShowsWhatTheMixerHolds) {
  Indicator indicator;
  mixer.muted = true;
  IMuteSound(services, true, &indicator);
  EXPECT_EQ(mixer.writes, 0);
  EXPECT_TRUE(indicator.shown);
  IMuteSound(services, false, &indicator);
  EXPECT_FALSE(mixer.muted || indicator.shown);
  IMuteSound(services, false, &indicator);
  EXPECT_TRUE(mixer.muted && indicator.shown);
  EXPECT_EQ(mixer.writes, 2);

  trace.Clear();
  IMuteSound(services, false, nullptr);
  EXPECT_EQ(trace.Text(), " WINDOW=NULL\n");

  // The button shows what the mixer holds. A click has already toggled the button; the mixer
  // refuses the write.
  indicator.shown = true;
  mixer.muted = mixer.writable = false;
  IMuteSound(services, false, &indicator);
  EXPECT_FALSE(mixer.muted || indicator.shown);
  EXPECT_TRUE(trace.Contains(" (mute not changed)"));

  // No mixer at all: nothing is shown as muted, and the log says why.
  indicator.shown = true;
  mixer.available = false;
  trace.Clear();
  IMuteSound(services, false, &indicator);
  EXPECT_FALSE(indicator.shown);
  EXPECT_EQ(trace.Text(), " no audio mixer can be reached\nMUTE done .x\n");
}

// One row of data/media_scenarios.tsv, on fresh fakes.
class MediaScenario : public ActionTest {
 public:
  void TestBody() override {}
  void Run(const std::vector<std::string>& row) {
    for (const std::string& word : CellList(row[0])) {
      const size_t colon = word.find(':'), equals = word.find('=');
      const std::string kind = word.substr(0, colon);
      const std::string signature = word.substr(colon + 1, equals - colon - 1);
      if (kind == "app") desktop.AddApp(signature);
      if (kind == "already") desktop.launch_results[signature] = kAlreadyRunning;
      if (kind == "noquit") players.quit_results[signature] = kEntryNotFound;
      if (kind == "unreadable") players.volume_unreadable.push_back(signature);
      if (kind == "player")
        for (const std::string& volume : CellList(word.substr(equals + 1), ','))
          players.players[signature].push_back(std::stof(volume));
    }
    for (const std::string& action : CellList(row[1])) {
      if (action == "close")
        ICloseMediaApp(services);
      else if (action.starts_with("do:"))
        DoCommand(services, FourCCOf(action.substr(3)));
      else if (action.starts_with("audio:"))
        IAudioApps(services, std::stoi(action.substr(6)));
      else
        IVideoApps(services, std::stoi(action.substr(6)));
    }
    Expect(desktop.calls, row[2], "desktop");
    Expect(SentSummary(), row[3], "sent");
    Expect(players.calls, row[4], "players");
    for (const std::string& part : CellList(row.size() > 5 ? row[5] : "", '|'))
      EXPECT_TRUE(trace.Contains(Unescaped(part))) << part << "\n" << trace.Text();
    EXPECT_TRUE(alerts.empty()) << alerts.front();  // launch failures only go to the trace
  }

 private:
  static void Expect(std::vector<std::string> calls, const std::string& cell, const char* what) {
    if (cell == "*") return;
    std::vector<std::string> expected = CellList(cell, '|');
    if (!expected.empty() && expected.back() == "...") {
      expected.pop_back();
      calls.resize(std::min(calls.size(), expected.size()));
    }
    EXPECT_EQ(calls, expected) << what;
  }
};

TEST(MediaActions, AudioAndVideoKeysAndClosingReachTheRightPlayer) {
  for (const auto& row : ReadTable("actions/data/media_scenarios.tsv", 5)) {
    SCOPED_TRACE(row[0] + " / " + row[1]);
    MediaScenario().Run(row);
  }
}

}  // namespace

}  // namespace koru
