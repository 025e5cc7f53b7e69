#pragma once
// Media players, a mixer and a launcher for tests: scripted state, every call recorded.
#include <map>
#include <string>
#include <vector>

#include "platform/launcher/launcher.h"
#include "platform/media/media_players.h"
#include "platform/media/mixer.h"

namespace koru {

class FakeMediaPlayers : public MediaPlayers {
 public:
  // Volume of each track of each running player, by signature.
  std::map<std::string, std::vector<float>> players;
  // Tracks whose volume cannot be read.
  std::vector<std::string> volume_unreadable;    // track addresses
  std::map<std::string, status_t> quit_results;  // default kOk when the player runs
  // "next sig#0", "volume sig#1 0.5", "pitch sig#0 1", "video sig 'fopl'", "quit sig";
  // lookups of tracks count in `lookups`.
  std::vector<std::string> calls;
  int32_t lookups = 0;

  std::vector<std::string> RunningPlayers() override;
  PlayerTrack Track(const std::string& signature, int32_t index) override;
  status_t Execute(const PlayerTrack& track, const std::string& command) override;
  status_t GetVolume(const PlayerTrack& track, float* volume) override;
  status_t SetVolume(const PlayerTrack& track, float volume) override;
  status_t SetPitch(const PlayerTrack& track, float pitch) override;
  status_t SendVideoCode(const std::string& signature, uint32_t code) override;
  status_t Quit(const std::string& signature) override;

  // The volume of track `index` of `signature`.
  float Volume(const std::string& signature, int32_t index) const;

 private:
  float* VolumeOf(const PlayerTrack& track);
};

class FakeMixer : public Mixer {
 public:
  bool available = true;
  bool writable = true;  // false: writes fail and change nothing
  bool muted = false;
  int32_t writes = 0;
  status_t GetMute(bool* value) override {
    if (!available) return kNoDevice;
    *value = muted;
    return kOk;
  }
  status_t SetMute(bool value) override {
    if (!available) return kNoDevice;
    if (!writable) return kNotAllowed;
    ++writes;
    muted = value;
    if (watch) watch(muted);
    return kOk;
  }
  bool WatchMute(std::function<void(bool)> changed) override {
    watch = std::move(changed);
    return available;
  }
  // Another program changes the mute.
  void ChangeElsewhere(bool value) {
    muted = value;
    if (watch) watch(muted);
  }
  std::function<void(bool)> watch;
};

class FakeLauncher : public Launcher {
 public:
  status_t result = kOk;
  // "open PATH", "exec PATH", "url URL", "entry ID"
  std::vector<std::string> calls;
  status_t OpenWithPreferredApp(const std::string& path) override { return Record("open " + path); }
  status_t StartExecutable(const std::string& path) override { return Record("exec " + path); }
  status_t OpenUrl(const std::string& url) override { return Record("url " + url); }
  status_t StartDesktopEntry(const std::string& id) override { return Record("entry " + id); }

 private:
  status_t Record(std::string call) {
    calls.push_back(std::move(call));
    return result;
  }
};

}  // namespace koru
