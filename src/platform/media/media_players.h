#pragma once
// Media players reached by scripting (MPRIS over the session D-Bus on Linux). A player is
// named by its application signature; its tracks are its scripting instances in a stable order.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

// One track of a player; an empty address is the invalid track that ends a track walk.
struct PlayerTrack {
  std::string address;
  bool IsValid() const { return !address.empty(); }
};

class MediaPlayers {
 public:
  virtual ~MediaPlayers() = default;

  // Signatures of the players that are reachable now (one entry per player instance).
  virtual std::vector<std::string> RunningPlayers() = 0;
  // Track `index` of the player with `signature`, or an invalid track.
  virtual PlayerTrack Track(const std::string& signature, int32_t index) = 0;
  // "next" or "previous".
  virtual status_t Execute(const PlayerTrack& track, const std::string& command) = 0;
  virtual status_t GetVolume(const PlayerTrack& track, float* volume) = 0;
  virtual status_t SetVolume(const PlayerTrack& track, float volume) = 0;
  // 0.0 pauses, 1.0 plays.
  virtual status_t SetPitch(const PlayerTrack& track, float pitch) = 0;
  // A video player code ('navp', 'papl', 'tgfs', ...); codes without a meaning do nothing.
  virtual status_t SendVideoCode(const std::string& signature, uint32_t code) = 0;
  // Asks every instance of the player to quit; kEntryNotFound when none could be asked.
  virtual status_t Quit(const std::string& signature) = 0;
};

}  // namespace koru
