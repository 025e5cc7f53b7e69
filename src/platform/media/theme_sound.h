#pragma once
// A sound of the desktop's sound theme (freedesktop sound themes, through libcanberra), played
// through the sound server on X11 and Wayland alike. The library is opened on the first sound;
// without it, or without a server, Play says so and the caller rings the bell instead.
//
//   ThemeSound sound;
//   if (!sound.Play({"koru-receiver", "message"}, "key recognised")) QApplication::beep();
#include <initializer_list>
#include <string>

class ThemeSound {
 public:
  ThemeSound() = default;
  ~ThemeSound();
  ThemeSound(const ThemeSound&) = delete;
  ThemeSound& operator=(const ThemeSound&) = delete;

  // Starts the first of `event_ids` the theme has (without waiting for it to end); false when
  // none could be played.
  bool Play(std::initializer_list<const char*> event_ids, const char* description);

 private:
  void* context_ = nullptr;  // the library's context, made on the first sound
  bool failed_ = false;      // the library or its context is not there: said once
};
