#include "lircd/lircd_key_feed.h"

#include "lircd/lircd_broadcast.h"
#include "lircd/lircd_command_reply.h"

namespace koru {

LircdKeyFeed::LircdKeyFeed(std::string version)
    : version_(std::move(version)), directory_(std::make_shared<LircdDirectory>()) {}

void LircdKeyFeed::KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                                 const ReceiverReport& report) {
  const std::string name = LircdName(remote.name_);
  const int repeat = repeats_.Count(name, keyfn, system_time());
  if (!broadcast_) return;
  broadcast_(
      LircdBroadcastLine(LircdCode(remote, keyfn, report), repeat, LircdKeyName(keyfn), name));
}

void LircdKeyFeed::RemotesChanged(const RemoteList& remotes) {
  auto directory = std::make_shared<const LircdDirectory>(LircdDirectoryOf(remotes));
  std::lock_guard lock(mutex_);
  directory_ = std::move(directory);
}

std::string LircdKeyFeed::Answer(std::string_view line) const {
  std::shared_ptr<const LircdDirectory> directory;
  {
    std::lock_guard lock(mutex_);
    directory = directory_;
  }
  return LircdCommandReply(line, *directory, version_);
}

}  // namespace koru
