#include "platform/media/theme_sound.h"

#include <dlfcn.h>

#include <cstdint>

#include "platform/messaging/trace.h"

namespace koru {

namespace {

// The few calls of libcanberra used here, declared as the library exports them (no headers
// needed to build).
struct CanberraLibrary {
  int (*create)(void** context) = nullptr;
  int (*destroy)(void* context) = nullptr;
  int (*play)(void* context, uint32_t id, ...) = nullptr;
  const char* (*error_text)(int code) = nullptr;
  bool loaded = false;

  CanberraLibrary() {
    void* handle = dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) return;
    create = reinterpret_cast<decltype(create)>(dlsym(handle, "ca_context_create"));
    destroy = reinterpret_cast<decltype(destroy)>(dlsym(handle, "ca_context_destroy"));
    play = reinterpret_cast<decltype(play)>(dlsym(handle, "ca_context_play"));
    error_text = reinterpret_cast<decltype(error_text)>(dlsym(handle, "ca_strerror"));
    loaded = create && destroy && play && error_text;
    // Stays open for the rest of the run.
  }
};

const CanberraLibrary* Canberra() {
  static const CanberraLibrary library;
  return library.loaded ? &library : nullptr;
}

}  // namespace

ThemeSound::ThemeSound(std::vector<std::string> event_ids, std::string description,
                       std::function<void()> fallback)
    : event_ids_(std::move(event_ids)),
      description_(std::move(description)),
      fallback_(std::move(fallback)) {}

ThemeSound::~ThemeSound() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wanted_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void ThemeSound::Play() {
  {
    std::lock_guard lock(mutex_);
    pending_ = true;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  wanted_.notify_one();
}

void ThemeSound::Run() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wanted_.wait(lock, [this] { return pending_ || stop_; });
    if (stop_) break;
    pending_ = false;
    lock.unlock();
    if (!PlayNow() && fallback_) fallback_();
    lock.lock();
  }
  lock.unlock();
  if (context_ != nullptr) Canberra()->destroy(context_);
}

bool ThemeSound::PlayNow() {
  if (failed_) return false;
  const CanberraLibrary* ca = Canberra();
  if (ca == nullptr) {
    Trace("sound: no libcanberra, the bell rings instead\n");
    failed_ = true;
    return false;
  }
  if (context_ == nullptr && ca->create(&context_) != 0) {
    Trace("sound: no sound context, the bell rings instead\n");
    context_ = nullptr;
    failed_ = true;
    return false;
  }
  int result = -1;
  for (const std::string& id : event_ids_) {
    result = ca->play(context_, 0, "event.id", id.c_str(), "event.description",
                      description_.c_str(), "application.name", "KORU", "application.id",
                      "org.koru.KORU", static_cast<const char*>(nullptr));
    if (result == 0) return true;
  }
  Trace("sound: %s\n", ca->error_text(result));
  return false;
}

}  // namespace koru
