#pragma once
// Media players over MPRIS on the session D-Bus. A player's tracks are its MPRIS bus names
// (org.mpris.MediaPlayer2.<name>[.<instance>]) in name order, matched to signatures by the
// signature table. Properties are read with an explicit org.freedesktop.DBus.Properties.Get.
#include <memory>

#include "platform/desktop/signature_table.h"
#include "platform/media/media_players.h"

namespace koru {

class MprisPlayers : public MediaPlayers {
 public:
  explicit MprisPlayers(const SignatureTable& table);
  ~MprisPlayers() override;

  std::vector<std::string> RunningPlayers() override;
  PlayerTrack Track(const std::string& signature, int32_t index) override;
  status_t Execute(const PlayerTrack& track, const std::string& command) override;
  status_t GetVolume(const PlayerTrack& track, float* volume) override;
  status_t SetVolume(const PlayerTrack& track, float volume) override;
  status_t SetPitch(const PlayerTrack& track, float pitch) override;
  status_t SendVideoCode(const std::string& signature, uint32_t code) override;
  status_t Quit(const std::string& signature) override;

  // One step of the video players' volume codes.
  static constexpr double kVideoVolumeStep = 0.1;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace koru
