#include "platform/messaging/messenger.h"

#include <atomic>
#include <mutex>

#include "platform/messaging/message.h"

namespace koru {

struct HandlerLink {
  std::atomic<Handler*> target{nullptr};
  Looper* looper = nullptr;
};

namespace {
std::atomic<Looper*> g_default_looper{nullptr};
std::mutex g_app_mutex;
Messenger g_app_messenger;
}  // namespace

bool Messenger::IsValid() const {
  return link_ && link_->target.load() != nullptr;
}

status_t Messenger::SendMessage(const Message& message) const {
  if (!IsValid() || link_->looper == nullptr) return kBadPort;
  auto link = link_;
  // Delivery checks the target again on the looper's thread: the handler may be gone by then.
  link->looper->Post([link, copy = message]() mutable {
    if (Handler* target = link->target.load()) target->MessageReceived(&copy);
  });
  return kOk;
}

status_t Messenger::SendMessage(uint32_t what) const {
  return SendMessage(Message(what));
}

Handler::Handler(Looper* looper) : link_(std::make_shared<HandlerLink>()) {
  link_->looper = looper ? looper : DefaultLooper();
  link_->target.store(this);
}

Handler::~Handler() {
  DetachHandler();
}

void Handler::DetachHandler() {
  link_->target.store(nullptr);
}

Looper* Handler::GetLooper() const {
  return link_->looper;
}

void SetDefaultLooper(Looper* looper) {
  g_default_looper.store(looper);
}
Looper* DefaultLooper() {
  return g_default_looper.load();
}

void SetAppMessenger(const Messenger& messenger) {
  std::lock_guard lock(g_app_mutex);
  g_app_messenger = messenger;
}

Messenger AppMessenger() {
  std::lock_guard lock(g_app_mutex);
  return g_app_messenger;
}

}  // namespace koru
