#include "platform/messaging/trace.h"

#include <atomic>
#include <cstdarg>
#include <mutex>
#include <vector>

namespace koru {

namespace {
std::mutex g_trace_mutex;
FILE* g_trace_stream = nullptr;  // nullptr: stdout
TraceCapture* g_capture = nullptr;
std::atomic<uint64_t> g_trace_count{0};
}  // namespace

void SetTraceStream(FILE* stream) {
  std::lock_guard lock(g_trace_mutex);
  if (g_trace_stream != stream) std::fflush(g_trace_stream ? g_trace_stream : stdout);
  g_trace_stream = stream;
}

uint64_t TraceCount() {
  return g_trace_count.load(std::memory_order_relaxed);
}

void Trace(const char* format, ...) {
  g_trace_count.fetch_add(1, std::memory_order_relaxed);
  char small[512];
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) {
    va_end(copy);
    return;
  }
  std::string text;
  if (static_cast<size_t>(length) < sizeof small) {
    text.assign(small, static_cast<size_t>(length));
  } else {
    std::vector<char> big(static_cast<size_t>(length) + 1);
    std::vsnprintf(big.data(), big.size(), format, copy);
    text.assign(big.data(), static_cast<size_t>(length));
  }
  va_end(copy);

  std::lock_guard lock(g_trace_mutex);
  if (g_capture != nullptr) {
    g_capture->text_ += text;
    return;
  }
  FILE* stream = g_trace_stream ? g_trace_stream : stdout;
  std::fwrite(text.data(), 1, text.size(), stream);
}

void FlushTrace() {
  std::lock_guard lock(g_trace_mutex);
  std::fflush(g_trace_stream ? g_trace_stream : stdout);
}

TraceCapture::TraceCapture() {
  std::lock_guard lock(g_trace_mutex);
  previous_ = g_capture;
  g_capture = this;
}

TraceCapture::~TraceCapture() {
  std::lock_guard lock(g_trace_mutex);
  g_capture = previous_;
}

std::string TraceCapture::Text() const {
  std::lock_guard lock(g_trace_mutex);
  return text_;
}

bool TraceCapture::Contains(std::string_view text) const {
  std::lock_guard lock(g_trace_mutex);
  return text_.find(text) != std::string::npos;
}

void TraceCapture::Clear() {
  std::lock_guard lock(g_trace_mutex);
  text_.clear();
}

}  // namespace koru
