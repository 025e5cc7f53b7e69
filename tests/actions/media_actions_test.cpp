#include "action_fixture.h"
#include "actions/action_messages.h"
#include "platform/media/media_messages.h"

namespace koru {

constexpr uint32_t kUnknownVerb = FourCC("what");

namespace {

using MediaActionsTest = ActionTest;

TEST_F(MediaActionsTest, VolumeStepsAreClampedPerTrack) {
  struct Case {
    uint32_t verb;
    float before, after;
  };
  const Case cases[] = {
      {kPlayerLouder, 1.99f, 2.0f},  {kPlayerLouder, 2.0f, 2.0f},  {kPlayerLouder, 0.5f, 0.52f},
      {kPlayerQuieter, 0.01f, 0.0f}, {kPlayerQuieter, 0.0f, 0.0f}, {kPlayerQuieter, 1.0f, 0.98f},
  };
  for (const Case& c : cases) {
    players.players[kSoundplaySignature] = {c.before, c.before};
    DoCommand(services, c.verb);
    EXPECT_FLOAT_EQ(players.Volume(kSoundplaySignature, 0), c.after) << c.before;
    EXPECT_FLOAT_EQ(players.Volume(kSoundplaySignature, 1), c.after) << c.before;
  }
}

TEST_F(MediaActionsTest, VerbsReachEveryTrack) {
  players.players[kSoundplaySignature] = {0.5f, 0.5f};
  players.volume_unreadable = {std::string(kSoundplaySignature) + "#1"};
  const std::string t0 = std::string(kSoundplaySignature) + "#0";
  const std::string t1 = std::string(kSoundplaySignature) + "#1";
  DoCommand(services, kPlayerStop);
  EXPECT_EQ(players.calls, (std::vector<std::string>{"pitch " + t0 + " 0", "pitch " + t1 + " 0"}));
  players.calls.clear();
  DoCommand(services, kPlayerLouder);  // track 1 does not report a volume
  DoCommand(services, kUnknownVerb);
  EXPECT_EQ(players.calls, (std::vector<std::string>{"volume " + t0 + " 0.52"}));
}

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

TEST_F(MediaActionsTest, AudioAppsPicksThePlayerLastInTheList) {
  desktop.AddApp(kSoundplaySignature);
  int32_t media_player = desktop.AddApp(kMediaPlayerSignature);
  int32_t koru = desktop.AddApp(kKoruSignature);
  players.players[kSoundplaySignature] = {0.5f};
  IAudioApps(services, 69);
  // MediaPlayer stands later: a key without a row sends Tab to it, then KORU comes back.
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{"activate " + std::to_string(media_player),
                                                     "activate " + std::to_string(koru)}));
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD' key 0x26 mod 0x30"}));
  EXPECT_TRUE(trace.Contains("Mediaplayer_selected\n"));
  EXPECT_TRUE(players.calls.empty());
}

TEST_F(MediaActionsTest, AudioAppsDrivesTheScriptedPlayerByVerbs) {
  desktop.AddApp(kMediaPlayerSignature);
  desktop.AddApp(kSoundplaySignature);
  players.players[kSoundplaySignature] = {1.9f};
  IAudioApps(services, 64);
  EXPECT_FLOAT_EQ(players.Volume(kSoundplaySignature, 0), 1.96f);
  players.calls.clear();
  IAudioApps(services, 96);
  EXPECT_EQ(players.calls,
            (std::vector<std::string>{"pitch " + std::string(kSoundplaySignature) + "#0 0"}));
  EXPECT_TRUE(desktop.sent.empty());
}

TEST_F(MediaActionsTest, AudioAppsMediaPlayerKeyRows) {
  desktop.AddApp(kMediaPlayer2Signature);
  IAudioApps(services, 96);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{"window '_KYD' key 0x3f mod 0x422"}));
  // The player runs under its second signature: that one is activated.
  EXPECT_EQ(desktop.calls.front(), "activate 100");
}

TEST_F(MediaActionsTest, AudioAppsSendsTabToTheOtherAudioPlayer) {
  desktop.AddApp(kZenebonaSignature);
  IAudioApps(services, 91);
  EXPECT_EQ(SentSummary(), (std::vector<std::string>{std::string("app:") + kZenebonaSignature +
                                                     " '_KYD' key 0x26 mod 0x30"}));
}

TEST_F(MediaActionsTest, AudioAppsLaunchesWhenNoPlayerRuns) {
  for (int32_t n : {68, 53, 61}) IAudioApps(services, n);
  const std::string launch = "launch ";
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{
                               launch + kSoundplaySignature, launch + kZenebonaSignature,
                               launch + kMediaPlayerSignature, launch + kZenebonaSignature}));
  EXPECT_TRUE(
      trace.Contains("Sorry Can't launch Soundplay - next app..\n"
                     "Sorry Can't launch Zenebona - next app..\n"
                     "Sorry Can't launch MediaPlayer - next app..\n"));
  EXPECT_TRUE(trace.Contains("Sorry Can't launch Zenebona - N2 app..\n"));
  EXPECT_TRUE(alerts.empty());  // launch failures only go to the trace
  EXPECT_TRUE(trace.Contains(" No Audio-App found\n"));

  desktop.calls.clear();
  desktop.launch_results[kZenebonaSignature] = kAlreadyRunning;
  IAudioApps(services, 68);
  EXPECT_EQ(desktop.calls.size(), 2u);  // Zenebona counts as started
}

TEST_F(MediaActionsTest, VideoAppsSendsCodesToTheSelectedPlayer) {
  desktop.AddApp(kStampTvSignature);
  int32_t vlc = desktop.AddApp(kVlcSignature);
  IVideoApps(services, 51);
  IVideoApps(services, 81);
  // The walk goes from the last team to the first: StampTV, nearer the start, is selected.
  const std::string stamp_tv = std::string("video ") + kStampTvSignature;
  EXPECT_EQ(players.calls, (std::vector<std::string>{stamp_tv + " 'oppl'", stamp_tv + " '-NO-'"}));
  EXPECT_EQ(desktop.calls[0], "activate " + std::to_string(vlc));
}

TEST_F(MediaActionsTest, VideoAppsWithoutPlayer) {
  IVideoApps(services, 68);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{std::string("launch ") + kVlcSignature}));
  EXPECT_TRUE(trace.Contains("Sorry Can't launch VLC\n"));
  EXPECT_TRUE(trace.Contains(" No Video-App found\n"));
  desktop.calls.clear();
  IVideoApps(services, 53);
  EXPECT_EQ(desktop.calls, (std::vector<std::string>{std::string("launch ") + kStampTvSignature}));
  EXPECT_TRUE(trace.Contains("Sorry Can't launch StampTV - N2 app..\n"));
  EXPECT_TRUE(players.calls.empty());
}

TEST_F(MediaActionsTest, MuteQueriesAndToggles) {
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
}

TEST_F(MediaActionsTest, TheMuteIndicatorShowsWhatTheMixerHolds) {
  Indicator indicator;
  // A click has already toggled the button; the mixer refuses the write.
  indicator.shown = true;
  mixer.writable = false;
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

TEST_F(MediaActionsTest, CloseMediaAppQuitsEveryPlayer) {
  ICloseMediaApp(services);
  EXPECT_TRUE(players.calls.empty());
  EXPECT_TRUE(desktop.sent.empty());

  desktop.AddApp(kVlcSignature);
  desktop.AddApp("application/x-vnd.linux-gimp");
  players.players[kSoundplaySignature] = {0.5f};  // reachable by scripting only
  players.quit_results[kVlcSignature] = kEntryNotFound;
  ICloseMediaApp(services);
  EXPECT_EQ(players.calls, (std::vector<std::string>{std::string("quit ") + kVlcSignature,
                                                     std::string("quit ") + kSoundplaySignature}));
  EXPECT_EQ(SentSummary(),
            (std::vector<std::string>{std::string("app:") + kVlcSignature + " '_QRQ'"}));
}

}  // namespace

}  // namespace koru
