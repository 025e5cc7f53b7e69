#pragma once
// Handlers receive messages on their looper's thread; messengers post to them from any thread.
// A message posted to a handler that no longer exists is dropped.
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/messaging/status.h"

namespace koru {

class Message;
class Handler;

// Runs posted tasks one after another on one thread.
class Looper {
 public:
  virtual ~Looper() = default;
  virtual void Post(std::function<void()> task) = 0;
};

// The link a handler shares with its messengers; cleared when the handler goes.
struct HandlerLink;

class Messenger {
 public:
  Messenger() = default;
  explicit Messenger(std::shared_ptr<HandlerLink> link) : link_(std::move(link)) {}

  // True while the target handler exists.
  bool IsValid() const;
  // Posts a copy; kBadPort when there is no target (any longer).
  status_t SendMessage(const Message& message) const;
  status_t SendMessage(uint32_t what) const;

  bool operator==(const Messenger& other) const { return link_ == other.link_; }

 private:
  std::shared_ptr<HandlerLink> link_;
};

class Handler {
 public:
  // nullptr: the default looper (the GUI thread in the program).
  explicit Handler(Looper* looper = nullptr);
  virtual ~Handler();
  Handler(const Handler&) = delete;
  Handler& operator=(const Handler&) = delete;

  virtual void MessageReceived(Message* message) = 0;

  Messenger GetMessenger() const { return Messenger(link_); }
  Looper* GetLooper() const;

 protected:
  // Stops delivery at once; a derived destructor may call it before it tears its members down.
  void DetachHandler();

 private:
  std::shared_ptr<HandlerLink> link_;
};

// The looper that handlers without one of their own use.
void SetDefaultLooper(Looper* looper);
Looper* DefaultLooper();

// The application object's messenger: where the receiver thread and the windows post.
void SetAppMessenger(const Messenger& messenger);
Messenger AppMessenger();

}  // namespace koru
