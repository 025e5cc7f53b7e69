#include "platform/media/pulse_mixer.h"

#include <dlfcn.h>
#include <pulse/pulseaudio.h>

#include <chrono>
#include <memory>

#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr char kDefaultSink[] = "@DEFAULT_SINK@";
constexpr auto kTimeout = std::chrono::seconds(2);

// The sound server's client library is opened on the first use of the mixer, not at start:
// it and the libraries it needs take longer to load than the rest of the start-up needs for
// the window. Without it the mixer cannot be reached, as without a server.
struct PulseLibrary {
  // clang-format off
#define KORU_PULSE_CALLS(X) \
  X(pa_mainloop_new) \
  X(pa_mainloop_get_api) \
  X(pa_mainloop_prepare) \
  X(pa_mainloop_poll) \
  X(pa_mainloop_dispatch) \
  X(pa_mainloop_free) \
  X(pa_context_new) \
  X(pa_context_connect) \
  X(pa_context_get_state) \
  X(pa_context_disconnect) \
  X(pa_context_unref) \
  X(pa_context_get_sink_info_by_name) \
  X(pa_context_set_sink_mute_by_name) \
  X(pa_operation_get_state) \
  X(pa_operation_cancel) \
  X(pa_operation_unref) \
  X(pa_threaded_mainloop_new) \
  X(pa_threaded_mainloop_free) \
  X(pa_threaded_mainloop_start) \
  X(pa_threaded_mainloop_stop) \
  X(pa_threaded_mainloop_lock) \
  X(pa_threaded_mainloop_unlock) \
  X(pa_threaded_mainloop_get_api) \
  X(pa_context_set_state_callback) \
  X(pa_context_set_subscribe_callback) \
  X(pa_context_subscribe)
  // clang-format on
#define KORU_PULSE_POINTER(name) decltype(&::name) name = nullptr;
  KORU_PULSE_CALLS(KORU_PULSE_POINTER)
#undef KORU_PULSE_POINTER
  bool loaded = false;

  PulseLibrary() {
    void* handle = dlopen("libpulse.so.0", RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      Trace("PulseAudio library not loaded: %s\n", dlerror());
      return;
    }
    loaded = true;
#define KORU_PULSE_RESOLVE(name)                                    \
  name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name)); \
  loaded = loaded && name != nullptr;
    KORU_PULSE_CALLS(KORU_PULSE_RESOLVE)
#undef KORU_PULSE_RESOLVE
    // Stays open: the calls are kept for the rest of the run.
  }
};

const PulseLibrary* Pulse() {
  static const PulseLibrary library;
  return library.loaded ? &library : nullptr;
}

// One connection with its own main loop, run until a condition holds or the time is up.
class PulseSession {
 public:
  // `pa` is the loaded library (Pulse() not null).
  explicit PulseSession(const PulseLibrary& pa) : pa_(pa), loop_(pa.pa_mainloop_new()) {
    context_ = pa_.pa_context_new(pa_.pa_mainloop_get_api(loop_), "KORU");
    if (context_ &&
        pa_.pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
      ready_ = RunUntil([&] {
                 pa_context_state_t state = pa_.pa_context_get_state(context_);
                 return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
               }) &&
               pa_.pa_context_get_state(context_) == PA_CONTEXT_READY;
    }
  }
  ~PulseSession() {
    if (context_) {
      pa_.pa_context_disconnect(context_);
      pa_.pa_context_unref(context_);
    }
    pa_.pa_mainloop_free(loop_);
  }
  PulseSession(const PulseSession&) = delete;
  PulseSession& operator=(const PulseSession&) = delete;

  bool Ready() const { return ready_; }
  pa_context* Context() { return context_; }

  template <typename Done>
  bool RunUntil(Done done) {
    auto deadline = std::chrono::steady_clock::now() + kTimeout;
    while (!done()) {
      auto left = std::chrono::duration_cast<std::chrono::microseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      if (pa_.pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0 ||
          pa_.pa_mainloop_poll(loop_) < 0 || pa_.pa_mainloop_dispatch(loop_) < 0) {
        return false;
      }
    }
    return true;
  }

  // Runs an operation to its end; false when it failed or timed out.
  bool Finish(pa_operation* operation) {
    if (!operation) return false;
    bool done =
        RunUntil([&] { return pa_.pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
    if (!done) pa_.pa_operation_cancel(operation);
    pa_.pa_operation_unref(operation);
    return done;
  }

 private:
  const PulseLibrary& pa_;
  pa_mainloop* loop_;
  pa_context* context_ = nullptr;
  bool ready_ = false;
};

struct MuteQuery {
  bool found = false;
  bool muted = false;
};

void OnSinkInfo(pa_context*, const pa_sink_info* info, int eol, void* data) {
  auto* query = static_cast<MuteQuery*>(data);
  if (eol == 0 && info) {
    query->found = true;
    query->muted = info->mute != 0;
  }
}

void OnSuccess(pa_context*, int success, void* data) {
  *static_cast<int*>(data) = success;
}

}  // namespace

// A connection kept open on a thread of its own that the server tells of every change of a sink
// and of the default sink; each change reads the default sink's mute again, and a mute that
// differs from the last one read is reported.
class PulseMixer::Watch {
 public:
  Watch(const PulseLibrary& pa, std::function<void(bool)> changed)
      : pa_(pa), changed_(std::move(changed)), loop_(pa.pa_threaded_mainloop_new()) {
    if (loop_ == nullptr) return;
    pa_.pa_threaded_mainloop_lock(loop_);
    context_ = pa_.pa_context_new(pa_.pa_threaded_mainloop_get_api(loop_), "KORU mute watch");
    if (context_ != nullptr) {
      pa_.pa_context_set_state_callback(context_, &Watch::OnState, this);
      pa_.pa_context_set_subscribe_callback(context_, &Watch::OnEvent, this);
      started_ = pa_.pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0 &&
                 pa_.pa_threaded_mainloop_start(loop_) >= 0;
    }
    pa_.pa_threaded_mainloop_unlock(loop_);
  }
  ~Watch() {
    if (loop_ == nullptr) return;
    if (started_) pa_.pa_threaded_mainloop_stop(loop_);
    if (context_ != nullptr) {
      // The mixer goes, not the server: nothing to say about it.
      pa_.pa_context_set_state_callback(context_, nullptr, nullptr);
      pa_.pa_context_disconnect(context_);
      pa_.pa_context_unref(context_);
    }
    pa_.pa_threaded_mainloop_free(loop_);
  }
  Watch(const Watch&) = delete;
  Watch& operator=(const Watch&) = delete;

  bool Started() const { return started_; }

 private:
  static void OnState(pa_context* context, void* data) {
    auto* self = static_cast<Watch*>(data);
    const pa_context_state_t state = self->pa_.pa_context_get_state(context);
    if (state == PA_CONTEXT_READY) {
      self->connected_ = true;
      Unref(self, self->pa_.pa_context_subscribe(
                      context,
                      static_cast<pa_subscription_mask_t>(PA_SUBSCRIPTION_MASK_SINK |
                                                          PA_SUBSCRIPTION_MASK_SERVER),
                      nullptr, nullptr));
      self->Query();
    } else if (!PA_CONTEXT_IS_GOOD(state) && self->connected_) {
      // Without a server from the start the first query has said so already.
      self->connected_ = false;
      Trace("mixer: the sound server went, the \"MUTED\" button no longer follows it\n");
    }
  }
  static void OnEvent(pa_context*, pa_subscription_event_type_t, uint32_t, void* data) {
    static_cast<Watch*>(data)->Query();
  }
  static void OnInfo(pa_context*, const pa_sink_info* info, int eol, void* data) {
    auto* self = static_cast<Watch*>(data);
    if (eol != 0 || info == nullptr) return;
    const int muted = info->mute != 0 ? 1 : 0;
    if (muted == self->last_) return;
    // The first answer is the state the program already read at its start.
    const bool first = self->last_ < 0;
    self->last_ = muted;
    if (!first) self->changed_(muted == 1);
  }
  static void Unref(Watch* self, pa_operation* operation) {
    if (operation != nullptr) self->pa_.pa_operation_unref(operation);
  }
  void Query() {
    Unref(this, pa_.pa_context_get_sink_info_by_name(context_, kDefaultSink, &Watch::OnInfo, this));
  }

  const PulseLibrary& pa_;
  std::function<void(bool)> changed_;
  pa_threaded_mainloop* loop_;
  pa_context* context_ = nullptr;
  bool started_ = false;
  int last_ = -1;           // on the watch's thread only
  bool connected_ = false;  // on the watch's thread only
};

PulseMixer::PulseMixer() = default;
PulseMixer::~PulseMixer() = default;

bool PulseMixer::WatchMute(std::function<void(bool)> changed) {
  const PulseLibrary* pa = Pulse();
  if (pa == nullptr) return false;
  auto watch = std::make_unique<Watch>(*pa, std::move(changed));
  if (!watch->Started()) return false;
  std::lock_guard lock(watch_mutex_);
  watch_ = std::move(watch);
  return true;
}

status_t PulseMixer::GetMute(bool* muted) {
  const PulseLibrary* pa = Pulse();
  if (pa == nullptr) return kNoDevice;
  PulseSession session(*pa);
  if (!session.Ready()) return kNoDevice;
  MuteQuery query;
  if (!session.Finish(pa->pa_context_get_sink_info_by_name(session.Context(), kDefaultSink,
                                                           OnSinkInfo, &query)) ||
      !query.found) {
    return kNoDevice;
  }
  *muted = query.muted;
  return kOk;
}

status_t PulseMixer::SetMute(bool muted) {
  const PulseLibrary* pa = Pulse();
  if (pa == nullptr) return kNoDevice;
  PulseSession session(*pa);
  if (!session.Ready()) return kNoDevice;
  int success = 0;
  if (!session.Finish(pa->pa_context_set_sink_mute_by_name(session.Context(), kDefaultSink,
                                                           muted ? 1 : 0, OnSuccess, &success))) {
    return kTimedOut;
  }
  return success ? kOk : kNoDevice;
}

}  // namespace koru
