#pragma once
// Feeds the lircd socket: turns each recognised key into a broadcast line (with its repeat
// count) and keeps the copy of the remotes that command replies are answered from.
//
//   LircdKeyFeed feed(KORU_VERSION);
//   feed.SetBroadcast([&server](std::string line) { server->Broadcast(std::move(line)); });
//   router links: &feed                     // KeyRecognised, RemotesChanged: GUI thread
//   server answer: feed.Answer(line)        // any thread
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "lircd/lircd_directory.h"
#include "lircd/lircd_repeat_counter.h"
#include "routing/recognised_key_listener.h"

namespace koru {

class LircdKeyFeed : public RecognisedKeyListener {
 public:
  using Broadcast = std::function<void(std::string line)>;

  explicit LircdKeyFeed(std::string version);

  // Where the lines go; empty: nowhere (the repeat counts still follow the keys).
  void SetBroadcast(Broadcast broadcast) { broadcast_ = std::move(broadcast); }

  void KeyRecognised(const RemoteDefinition& remote, int32_t keyfn,
                     const ReceiverReport& report) override;
  void RemotesChanged(const RemoteList& remotes) override;

  // The reply to one command line of a client; safe on any thread.
  std::string Answer(std::string_view line) const;

 private:
  const std::string version_;
  Broadcast broadcast_;
  LircdRepeatCounter repeats_;
  mutable std::mutex mutex_;  // guards directory_ (the pointer; the directory is never changed)
  std::shared_ptr<const LircdDirectory> directory_;
};

}  // namespace koru
