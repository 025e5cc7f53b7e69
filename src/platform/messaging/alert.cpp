#include "platform/messaging/alert.h"

#include <mutex>

#include "platform/messaging/trace.h"

namespace koru {

namespace {
std::mutex g_mutex;
AlertPresenter g_presenter;
}  // namespace

void SetAlertPresenter(AlertPresenter presenter) {
  std::lock_guard lock(g_mutex);
  g_presenter = std::move(presenter);
}

void AnyAlert(const std::string& text, bool trace_only) {
  AlertPresenter presenter;
  {
    std::lock_guard lock(g_mutex);
    presenter = g_presenter;
  }
  // The trace is the log: an alert the user saw must be found there afterwards, in its words.
  Trace("%s\n", text.c_str());
  if (!trace_only && presenter) presenter(text);
}

}  // namespace koru
