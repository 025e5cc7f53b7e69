#include "platform/media/fake_media_players.h"

#include <algorithm>
#include <cstdio>

#include "platform/messaging/four_cc.h"

namespace koru {

namespace {
std::string Number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}
}  // namespace

std::vector<std::string> FakeMediaPlayers::RunningPlayers() {
  std::vector<std::string> running;
  for (const auto& [signature, tracks] : players) {
    if (!tracks.empty()) running.push_back(signature);
  }
  return running;
}

PlayerTrack FakeMediaPlayers::Track(const std::string& signature, int32_t index) {
  ++lookups;
  auto found = players.find(signature);
  if (found == players.end() || index < 0 || index >= static_cast<int32_t>(found->second.size())) {
    return {};
  }
  return {signature + "#" + std::to_string(index)};
}

float* FakeMediaPlayers::VolumeOf(const PlayerTrack& track) {
  size_t hash = track.address.rfind('#');
  if (hash == std::string::npos) return nullptr;
  auto found = players.find(track.address.substr(0, hash));
  if (found == players.end()) return nullptr;
  size_t index = std::stoul(track.address.substr(hash + 1));
  return index < found->second.size() ? &found->second[index] : nullptr;
}

status_t FakeMediaPlayers::Execute(const PlayerTrack& track, const std::string& command) {
  calls.push_back(command + " " + track.address);
  return VolumeOf(track) ? kOk : kBadValue;
}

status_t FakeMediaPlayers::GetVolume(const PlayerTrack& track, float* volume) {
  float* value = VolumeOf(track);
  if (!value || std::count(volume_unreadable.begin(), volume_unreadable.end(), track.address)) {
    return kBadValue;
  }
  *volume = *value;
  return kOk;
}

status_t FakeMediaPlayers::SetVolume(const PlayerTrack& track, float volume) {
  calls.push_back("volume " + track.address + " " + Number(volume));
  float* value = VolumeOf(track);
  if (!value) return kBadValue;
  *value = volume;
  return kOk;
}

status_t FakeMediaPlayers::SetPitch(const PlayerTrack& track, float pitch) {
  calls.push_back("pitch " + track.address + " " + Number(pitch));
  return VolumeOf(track) ? kOk : kBadValue;
}

status_t FakeMediaPlayers::SendVideoCode(const std::string& signature, uint32_t code) {
  calls.push_back("video " + signature + " '" + FourCCText(code) + "'");
  return kOk;
}

status_t FakeMediaPlayers::Quit(const std::string& signature) {
  calls.push_back("quit " + signature);
  auto result = quit_results.find(signature);
  if (result != quit_results.end()) return result->second;
  return players.count(signature) ? kOk : kEntryNotFound;
}

float FakeMediaPlayers::Volume(const std::string& signature, int32_t index) const {
  return players.at(signature).at(index);
}

}  // namespace koru
