// The audio player's verbs, applied to every track of the player.
#include "actions/action_messages.h"
#include "actions/actions.h"
#include "platform/media/media_messages.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"

namespace koru {

const char* const kAudioPlayerSignature = kSoundplaySignature;

PlayerTrack RemoteTrack(ActionServices& services, int32_t index) {
  return services.players->Track(kAudioPlayerSignature, index);
}

namespace {

constexpr float kVolumeStep = 0.02f;
constexpr float kVolumeCeiling = 2.0f;
constexpr bigtime_t kLaunchWait = 10'000'000;
constexpr bigtime_t kLaunchPoll = 500'000;

void ApplyVerb(MediaPlayers* players, const PlayerTrack& track, uint32_t verb) {
  switch (verb) {
    case kPlayerPrevious:
      players->Execute(track, "previous");
      break;
    case kPlayerNext:
      players->Execute(track, "next");
      break;
    case kPlayerLouder:
    case kPlayerQuieter: {
      float volume = 0;
      if (players->GetVolume(track, &volume) != kOk) break;  // the track stays as it is
      if (verb == kPlayerLouder) {
        volume += kVolumeStep;
        if (volume > kVolumeCeiling) volume = kVolumeCeiling;
      } else {
        volume -= kVolumeStep;
        if (volume < 0.0f) volume = 0.0f;
      }
      players->SetVolume(track, volume);
      break;
    }
    case kPlayerStop:
      players->SetPitch(track, 0.0f);
      break;
    case kPlayerPlay:
      players->SetPitch(track, 1.0f);
      break;
  }
}

}  // namespace

void DoCommand(ActionServices& services, uint32_t verb) {
  if (verb != kPlayerPrevious && verb != kPlayerNext && verb != kPlayerLouder &&
      verb != kPlayerQuieter && verb != kPlayerStop && verb != kPlayerPlay) {
    return;
  }
  if (verb == kPlayerPlay && !IsAppRunning(services, kAudioPlayerSignature)) {
    services.desktop->Launch(kAudioPlayerSignature);
    bigtime_t launched = system_time();
    while (!IsAppRunning(services, kAudioPlayerSignature) &&
           system_time() - launched < kLaunchWait) {
      snooze(kLaunchPoll);
    }
  }
  for (int32_t index = 0; index < kMaxPlayerTracks; ++index) {
    PlayerTrack track = RemoteTrack(services, index);
    if (!track.IsValid()) return;
    ApplyVerb(services.players, track, verb);
  }
  Trace("DoCommand: stopped after %d tracks\n", static_cast<int>(kMaxPlayerTracks));
}

}  // namespace koru
