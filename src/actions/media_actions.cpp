// Audio and video players, the master mute and closing every player.
#include <algorithm>

#include "actions/action_messages.h"
#include "actions/actions.h"
#include "actions/key_message.h"
#include "platform/media/media_messages.h"
#include "platform/media/mixer.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"
#include "settings/key_functions.h"

namespace koru {

namespace {

bool LaunchSucceeded(status_t result) {
  return result == kOk || result == kAlreadyRunning;
}

enum class AudioPlayer { kNone, kSoundplay, kZenebona, kMediaPlayer };

struct KeyRow {
  int32_t n, key, state_index;
  uint8_t state_value;
  int32_t character;
};

constexpr KeyRow kMediaPlayerRows[] = {
    {61, 0x21, 4, 0x40, 0x0b},  {62, 0x36, 11, 0x04, 0x0c}, {63, 0x62, 12, 0x14, 0x1f},
    {64, 0x57, 10, 0x01, 0x1e}, {91, 0x61, 10, 0x01, 0x1c}, {95, 0x63, 12, 0x14, 0x1d},
    {93, 0x5e, 12, 0x14, 0x20}, {94, 0x5e, 12, 0x14, 0x20},
};

int32_t TeamFor(const std::vector<AppInfo>& apps, const std::string& signature) {
  for (const AppInfo& app : apps) {
    if (app.signature == signature) return app.team;
  }
  return -1;
}

// Launches a player; reports a failure in the trace.
status_t LaunchPlayer(ActionServices& services, const char* signature, const char* failure) {
  status_t result = services.desktop->Launch(signature);
  if (!LaunchSucceeded(result)) AnyAlert(failure, true);
  return result;
}

void MediaPlayerKeys(ActionServices& services, int32_t n, const std::string& signature,
                     const std::vector<AppInfo>& apps, Message message) {
  Trace("Mediaplayer_selected\n");
  message.ReplaceInt32("modifiers", 0x30);
  message.ReplaceString("bytes", "\"\"");
  for (const KeyRow& row : kMediaPlayerRows) {
    if (row.n != n) continue;
    message.ReplaceInt32("key", row.key);
    SetKeyState(&message, row.state_index, row.state_value);
    SetKeyCharacter(&message, row.character);
  }
  if (n == 96) {
    Trace(" SIM ALT-F\n");
    message.ReplaceInt32("key", 0x3f);
    SetKeyState(&message, 4, 0x20);
    SetKeyState(&message, 11, 0x04);
    SetKeyCharacter(&message, 0x66);
    message.ReplaceString("bytes", "f");
    message.ReplaceInt32("modifiers", 0x422);
    Trace("%s\n", message.Dump().c_str());
  }
  // The player found may run under either of its signatures: activate that one.
  int32_t player = TeamFor(apps, signature);
  int32_t myself = TeamFor(apps, kKoruSignature);
  if (player >= 0) services.desktop->Activate(player);
  snooze(500);
  services.desktop->SendMessage(MessageTarget::ActiveWindow(), message);
  if (myself >= 0) services.desktop->Activate(myself);
  snooze(1000);
}

}  // namespace

void IAudioApps(ActionServices& services, int32_t n) {
  std::vector<AppInfo> apps = ListRunningApps(services);
  AudioPlayer player = AudioPlayer::kNone;
  std::string signature;
  for (auto app = apps.rbegin(); app != apps.rend() && player == AudioPlayer::kNone; ++app) {
    if (app->signature == kSoundplaySignature) {
      player = AudioPlayer::kSoundplay;
    } else if (app->signature == kZenebonaSignature) {
      player = AudioPlayer::kZenebona;
    } else if (app->signature == kMediaPlayerSignature ||
               app->signature == kMediaPlayer2Signature) {
      player = AudioPlayer::kMediaPlayer;
    }
    if (player != AudioPlayer::kNone) signature = app->signature;
  }

  if (player == AudioPlayer::kNone) {
    status_t result = kOk;
    if (n == 68) {
      Trace(" .. no default AudioApp a running \n");
      result =
          LaunchPlayer(services, kSoundplaySignature, "Sorry Can't launch Soundplay - next app..");
      if (!LaunchSucceeded(result)) {
        result =
            LaunchPlayer(services, kZenebonaSignature, "Sorry Can't launch Zenebona - next app..");
      }
      if (!LaunchSucceeded(result)) {
        result = LaunchPlayer(services, kMediaPlayerSignature,
                              "Sorry Can't launch MediaPlayer - next app..");
      }
    } else if (n == 52) {
      result =
          LaunchPlayer(services, kSoundplaySignature, "Sorry Can't launch Soundplay - N1 app..");
    } else if (n == 53) {
      result = LaunchPlayer(services, kZenebonaSignature, "Sorry Can't launch Zenebona - N2 app..");
    } else if (n == 54) {
      result = LaunchPlayer(services, kMediaPlayerSignature,
                            "Sorry Can't launch MediaPlayer - N3 app..");
    } else {
      Trace(" No Audio-App found\n");
      snooze(1000);
      return;
    }
    snooze(100000);
    Trace("IAudioApps any startet ? -end (%ld)\n", static_cast<long>(result));
    return;
  }

  if (player == AudioPlayer::kSoundplay) {
    switch (n) {
      case kKeyArrowLeft:
      case kKeyArrowRight:
        for (int i = 0; i < 3; ++i) {
          if (i > 0) snooze(1000);
          DoCommand(services, n == 63 ? kPlayerQuieter : kPlayerLouder);
        }
        break;
      case kKeyPrevious:
        DoCommand(services, kPlayerPrevious);
        break;
      case kKeyNext:
        DoCommand(services, kPlayerNext);
        break;
      case kKeyPause:
      case kKeyStop:
        DoCommand(services, kPlayerStop);
        break;
      case kKeyPlay:
        DoCommand(services, kPlayerPlay);
        break;
    }
    snooze(1000);
    return;
  }

  Message message = MakeKeyMessage(system_time());
  message.AddInt32("key", 0x26);
  message.AddInt32("raw_char", 0x09);
  message.AddInt8("byte", 0x09);
  message.AddString("bytes", "");
  if (player == AudioPlayer::kMediaPlayer) {
    MediaPlayerKeys(services, n, signature, apps, message);
    return;
  }
  services.desktop->SendMessage(MessageTarget::App(kZenebonaSignature), message);
  snooze(1000);
}

void IVideoApps(ActionServices& services, int32_t n) {
  static const char* const kVideoPlayers[] = {kVlcSignature, kStampTvSignature,
                                              kMediaPlayerSignature};
  std::vector<AppInfo> apps = ListRunningApps(services);
  const AppInfo* selected = nullptr;
  for (auto app = apps.rbegin(); app != apps.rend(); ++app) {
    for (const char* video : kVideoPlayers) {
      if (app->signature != video) continue;
      if (app->team >= 0) services.desktop->Activate(app->team);
      selected = &*app;
    }
  }

  if (!selected && n >= 52 && n <= 54) {
    static const char* const kFailures[] = {"Sorry Can't launch VLC - N1 app..",
                                            "Sorry Can't launch StampTV - N2 app..",
                                            "Sorry Can't launch MediaPlayer - N3 app.."};
    status_t result = LaunchPlayer(services, kVideoPlayers[n - 52], kFailures[n - 52]);
    snooze(100000);
    snooze(1000);
    Trace("IVideoApps any startet ? -end (%ld)\n", static_cast<long>(result));
    return;
  }

  uint32_t code = kNoVideoCommand;
  if (n == 51) {
    code = kVideoOpen;
  } else if (n >= 52 && n <= 60) {
    code = kVideoShow;
  } else if (n == 65) {
    code = kVideoLouder;
  } else if (n == 66) {
    code = kVideoQuieter;
  } else if (n == 68) {
    status_t result = services.desktop->Launch(kVlcSignature);
    if (result == kAlreadyRunning)
      Trace("Sorry VLC= B_ALREADY_RUNNING\n");
    else if (result != kOk)
      AnyAlert("Sorry Can't launch VLC", true);
    snooze(100000);
  } else if (n == 69 || n == 70 || n == 71) {
    if (selected && selected->team >= 0) services.desktop->Activate(selected->team);
    code = kVideoShow;
  } else if (n == 91) {
    code = kVideoPrevious;
  } else if (n == 93) {
    code = kVideoPlayPause;
  } else if (n == 94) {
    code = kPlayerPlay;
  } else if (n == 95) {
    code = kVideoNext;
  } else if (n == 96) {
    code = kVideoToggleFullscreen;
  }

  if (selected) {
    services.players->SendVideoCode(selected->signature, code);
    snooze(10000);
  } else {
    Trace(" No Video-App found\n");
  }
  snooze(1000);
}

void IMuteSound(ActionServices& services, bool query_only, MuteIndicator* indicator) {
  if (!indicator) {
    Trace(" WINDOW=NULL\n");
    return;
  }
  bool muted = false;
  if (services.mixer->GetMute(&muted) != kOk) {
    // Nothing is muted that KORU could see: the button must not claim otherwise.
    Trace(" no audio mixer can be reached\n");
    indicator->SetShown(false);
    Trace("MUTE done .x\n");
    snooze(500);
    snooze(500);
    return;
  }
  Trace("Master volume is ");
  Trace(muted ? "muted   \n" : "unmuted \n");
  if (!query_only) {
    Trace(" toggle: ");
    bool wanted = !muted;
    Trace(wanted ? "MVol. will muted   " : "MVol. will unmuted ");
    if (services.mixer->SetMute(wanted) != kOk) Trace(" (mute not changed)");
    // The indicator shows what the mixer really holds after the write, whatever it answered.
    bool now_muted = muted;
    if (services.mixer->GetMute(&now_muted) == kOk) muted = now_muted;
  }
  if (muted && !indicator->IsShown()) {
    Trace(" ->Show");
  } else if (!muted && indicator->IsShown()) {
    Trace(" ->Hide");
  }
  // Set every time: a click on the button has toggled it already, whatever the mixer did.
  indicator->SetShown(muted);
  snooze(1000);
  Trace(" MUTE done\n");
}

void ICloseMediaApp(ActionServices& services) {
  static const char* const kPlayers[] = {kSoundplaySignature,   kZenebonaSignature,
                                         kMediaPlayerSignature, kVlcSignature,
                                         kStampTvSignature,     kMediaPlayer2Signature};
  for (const AppInfo& app : ListRunningApps(services)) {
    if (std::none_of(std::begin(kPlayers), std::end(kPlayers),
                     [&](const char* player) { return app.signature == player; })) {
      continue;
    }
    // A player that cannot be asked by scripting is asked through its windows.
    if (services.players->Quit(app.signature) != kOk) {
      services.desktop->SendMessage(MessageTarget::App(app.signature), Message(kQuitRequested));
    }
    snooze(5000);
  }
}

}  // namespace koru
