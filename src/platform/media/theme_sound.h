#pragma once
// A sound of the desktop's sound theme (freedesktop sound themes, through libcanberra), played
// through the sound server on X11 and Wayland alike. Loading the library and reaching the server
// take long, so the sounds are played on a thread of their own and Play never waits; without the
// library or a server, `fallback` is called (on that thread) instead, and the trace says why
// once.
//
//   ThemeSound sound({"koru-receiver", "message"}, "key recognised", [] { /* the bell */ });
//   sound.Play();
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace koru {

class ThemeSound {
 public:
  // The first of `event_ids` the theme has is played.
  ThemeSound(std::vector<std::string> event_ids, std::string description,
             std::function<void()> fallback);
  ~ThemeSound();
  ThemeSound(const ThemeSound&) = delete;
  ThemeSound& operator=(const ThemeSound&) = delete;

  // Asks for the sound; returns at once. Requests that come while one is still being started
  // make one more sound, not many.
  void Play();

 private:
  void Run();
  bool PlayNow();

  const std::vector<std::string> event_ids_;
  const std::string description_;
  const std::function<void()> fallback_;
  std::mutex mutex_;
  std::condition_variable wanted_;
  bool pending_ = false;
  bool stop_ = false;
  void* context_ = nullptr;  // the library's context, on the sound thread only
  bool failed_ = false;      // on the sound thread only
  std::thread thread_;       // started with the first sound
};

}  // namespace koru
