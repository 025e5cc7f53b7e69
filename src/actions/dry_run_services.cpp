#include "actions/dry_run_services.h"

#include <atomic>
#include <functional>
#include <memory>

#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

std::string TargetText(const MessageTarget& target) {
  switch (target.kind) {
    case MessageTarget::Kind::kActiveWindow:
    case MessageTarget::Kind::kActiveWindowAny:
      return "the active window";
    case MessageTarget::Kind::kActiveApp:
      return "the active application";
    case MessageTarget::Kind::kApp:
      return "'" + target.signature + "'";
  }
  return "?";
}

class DryRunDesktop : public Desktop {
 public:
  explicit DryRunDesktop(std::unique_ptr<Desktop> real) : real_(std::move(real)) {}

  std::vector<AppInfo> RunningApps() override { return real_->RunningApps(); }
  bool ActiveApp(AppInfo* info) override { return real_->ActiveApp(info); }
  status_t Activate(int32_t team) override {
    Trace("would activate the application of process %ld\n", static_cast<long>(team));
    return kOk;
  }
  status_t Launch(const std::string& signature) override {
    Trace("would start '%s'\n", signature.c_str());
    return kOk;
  }
  status_t SendMessage(const MessageTarget& target, const Message& message) override {
    const std::string to = TargetText(target);
    if (message.HasField("key")) {
      Trace("would send '%s' key=%ld modifiers=%ld to %s\n", FourCCText(message.what).c_str(),
            static_cast<long>(message.GetInt32("key", 0)),
            static_cast<long>(message.GetInt32("modifiers", 0)), to.c_str());
    } else if (message.what == kQuitRequested) {
      Trace("would close %s\n", to.c_str());
    } else {
      Trace("would send '%s' to %s\n", FourCCText(message.what).c_str(), to.c_str());
    }
    return kOk;
  }
  std::vector<std::string> FileManagerWindows() override { return real_->FileManagerWindows(); }
  status_t ActivateFileManagerWindow(const std::string& title) override {
    Trace("would raise the file manager window '%s'\n", title.c_str());
    return kOk;
  }
  int32_t CountWorkspaces() override { return real_->CountWorkspaces(); }
  int32_t CurrentWorkspace() override { return real_->CurrentWorkspace(); }
  void ActivateWorkspace(int32_t index) override {
    Trace("would switch to workspace %ld\n", static_cast<long>(index) + 1);
  }
  ScreenPoint PointerPosition() override { return real_->PointerPosition(); }
  DesktopReport Report() const override { return real_->Report(); }
  void SetPointerPosition(ScreenPoint point) override {
    Trace("would move the pointer to %ld,%ld\n", static_cast<long>(point.x),
          static_cast<long>(point.y));
  }
  // Most actions turn it off first: only a change is worth a line.
  void SetFocusFollowsMouse(bool on) override {
    if (on != focus_follows_mouse_) Trace("would turn focus-follows-mouse %s\n", on ? "on" : "off");
    focus_follows_mouse_ = on;
  }

 private:
  std::unique_ptr<Desktop> real_;
  bool focus_follows_mouse_ = false;
};

class DryRunPlayers : public MediaPlayers {
 public:
  explicit DryRunPlayers(std::unique_ptr<MediaPlayers> real) : real_(std::move(real)) {}

  std::vector<std::string> RunningPlayers() override { return real_->RunningPlayers(); }
  PlayerTrack Track(const std::string& signature, int32_t index) override {
    return real_->Track(signature, index);
  }
  status_t Execute(const PlayerTrack& track, const std::string& command) override {
    Trace("would tell player %s: %s\n", track.address.c_str(), command.c_str());
    return kOk;
  }
  status_t GetVolume(const PlayerTrack& track, float* volume) override {
    return real_->GetVolume(track, volume);
  }
  status_t SetVolume(const PlayerTrack& track, float volume) override {
    Trace("would set the volume of player %s to %.2f\n", track.address.c_str(), volume);
    return kOk;
  }
  status_t SetPitch(const PlayerTrack& track, float pitch) override {
    Trace("would %s player %s\n", pitch > 0.0f ? "play" : "pause", track.address.c_str());
    return kOk;
  }
  status_t SendVideoCode(const std::string& signature, uint32_t code) override {
    Trace("would send '%s' to the video player '%s'\n", FourCCText(code).c_str(),
          signature.c_str());
    return kOk;
  }
  status_t Quit(const std::string& signature) override {
    Trace("would quit '%s'\n", signature.c_str());
    return kOk;
  }

 private:
  std::unique_ptr<MediaPlayers> real_;
};

// The real mute is read once; from then on the mute is this run's own, and a change made
// elsewhere is taken over.
class DryRunMixer : public Mixer {
 public:
  explicit DryRunMixer(std::unique_ptr<Mixer> real) : real_(std::move(real)) {}

  status_t GetMute(bool* muted) override {
    if (state_ == kUnknown) {
      bool real = false;
      const status_t status = real_->GetMute(&real);
      if (status != kOk) return status;
      int expected = kUnknown;
      state_.compare_exchange_strong(expected, real ? kMuted : kUnmuted);
    }
    *muted = state_ == kMuted;
    return kOk;
  }
  status_t SetMute(bool muted) override {
    bool now = false;
    if (const status_t status = GetMute(&now); status != kOk) return status;
    Trace("would %s the master output\n", muted ? "mute" : "unmute");
    state_ = muted ? kMuted : kUnmuted;
    return kOk;
  }
  bool WatchMute(std::function<void(bool)> changed) override {
    return real_->WatchMute([this, changed = std::move(changed)](bool muted) {
      state_ = muted ? kMuted : kUnmuted;
      changed(muted);
    });
  }

 private:
  enum { kUnknown, kMuted, kUnmuted };
  std::atomic<int> state_{kUnknown};
  std::unique_ptr<Mixer> real_;  // goes first: its watch may still report
};

// Starts nothing; the real launcher is kept only as long as the others, unused.
class DryRunLauncher : public Launcher {
 public:
  explicit DryRunLauncher(std::unique_ptr<Launcher> real) : real_(std::move(real)) {}

  status_t OpenWithPreferredApp(const std::string& path) override {
    Trace("would open '%s'\n", path.c_str());
    return kOk;
  }
  status_t StartExecutable(const std::string& path) override {
    Trace("would start the program '%s'\n", path.c_str());
    return kOk;
  }
  status_t OpenUrl(const std::string& url) override {
    Trace("would open the web address '%s'\n", url.c_str());
    return kOk;
  }
  status_t StartDesktopEntry(const std::string& desktop_id) override {
    Trace("would start the application '%s'\n", desktop_id.c_str());
    return kOk;
  }

 private:
  std::unique_ptr<Launcher> real_;
};

}  // namespace

DesktopServices DryRunServices(DesktopServices real) {
  Trace("dry run: actions are traced as \"would ...\" and not done\n");
  DesktopServices dry;
  dry.desktop = std::make_unique<DryRunDesktop>(std::move(real.desktop));
  dry.players = std::make_unique<DryRunPlayers>(std::move(real.players));
  dry.mixer = std::make_unique<DryRunMixer>(std::move(real.mixer));
  dry.launcher = std::make_unique<DryRunLauncher>(std::move(real.launcher));
  return dry;
}

}  // namespace koru
