#pragma once
// The one-line alert: title "KORU_Alert", one button "OK" (Enter), warning type, never waits
// for the answer. The windows install the presenter; the text always goes to the trace as well.
#include <functional>
#include <string>

namespace koru {

void AnyAlert(const std::string& text, bool trace_only);

// Shows an alert; may be called from any thread (the presenter moves it to the GUI thread).
using AlertPresenter = std::function<void(const std::string& text)>;
void SetAlertPresenter(AlertPresenter presenter);

}  // namespace koru
