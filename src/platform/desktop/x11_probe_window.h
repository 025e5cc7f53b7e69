#pragma once
// A plain X window that records the key events it receives: the test client of the system
// tests and benchmarks (not part of the program).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace koru {

class X11ProbeWindow {
 public:
  struct Key {
    uint32_t keysym = 0;
    uint32_t state = 0;  // X modifier mask at the event
    bool press = false;
  };
  static constexpr uint32_t kShiftMask = 1u << 0;
  static constexpr uint32_t kControlMask = 1u << 2;
  static constexpr uint32_t kAltMask = 1u << 3;  // Mod1

  // Maps a window with this process's _NET_WM_PID and WM_CLASS "koru-probe"; null without X.
  static std::unique_ptr<X11ProbeWindow> Open(const std::string& title);
  ~X11ProbeWindow();

  uint64_t Id() const;
  // The next key press or release, or nothing after `timeout_ms`.
  std::optional<Key> WaitForKey(int timeout_ms);
  // Forgets events received so far.
  void Drain();

  struct Impl;

 private:
  explicit X11ProbeWindow(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace koru
