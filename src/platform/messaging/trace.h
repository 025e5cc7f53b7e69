#pragma once
// The trace: the system's running log on standard output, written printf-style in its own words.
// Tests capture it with TraceCapture; tools may send it to another stream. Lines are buffered
// by the stream, not written one by one: FlushTrace writes them out, and so does a normal exit.
// The receiver flushes at each report, the program whenever its GUI thread goes idle, so
// nothing that was reported is lost when the process dies later.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace koru {

void Trace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// How many times Trace was called so far, by any thread: tells whether a piece of work traced.
uint64_t TraceCount();

// Writes out what is buffered.
void FlushTrace();

// Where the trace goes when nothing captures it (standard output by default).
void SetTraceStream(FILE* stream);

// While alive, trace text is collected here instead of being written (nested captures: the
// innermost collects). Thread-safe.
class TraceCapture {
 public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  std::string Text() const;
  bool Contains(std::string_view text) const;
  void Clear();

 private:
  friend void Trace(const char* format, ...);
  std::string text_;
  TraceCapture* previous_;
};

}  // namespace koru
