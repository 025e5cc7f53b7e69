#include "lircd/lircd_key_feed.h"

#include "lircd/lircd_broadcast.h"
#include "lircd/lircd_command_reply.h"

LircdKeyFeed::LircdKeyFeed(std::string version)
    : fVersion(std::move(version)), fDirectory(std::make_shared<LircdDirectory>()) {}

void LircdKeyFeed::KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                                 const ReceiverReport& report) {
  const std::string name = LircdName(remote.fName);
  const int repeat = fRepeats.Count(name, keyfn, system_time());
  if (!fBroadcast) return;
  fBroadcast(
      LircdBroadcastLine(LircdCode(remote, keyfn, report), repeat, LircdKeyName(keyfn), name));
}

void LircdKeyFeed::RemotesChanged(const RemoteList& remotes) {
  auto directory = std::make_shared<const LircdDirectory>(LircdDirectoryOf(remotes));
  std::lock_guard lock(fMutex);
  fDirectory = std::move(directory);
}

std::string LircdKeyFeed::Answer(std::string_view line) const {
  std::shared_ptr<const LircdDirectory> directory;
  {
    std::lock_guard lock(fMutex);
    directory = fDirectory;
  }
  return LircdCommandReply(line, *directory, fVersion);
}
