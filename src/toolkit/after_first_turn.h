#pragma once
// Work a window does not need before it answers: run once the event loop has turned for the
// first time (when it is first about to wait), so the window is shown and answering first. A
// library the work loads on another thread would otherwise hold the loader's lock while the
// window's own start needs it.
#include <QObject>
#include <functional>

namespace koru {

// Runs `work` on the GUI thread after the first turn of the event loop; never when `context`
// has gone by then.
void AfterFirstTurn(QObject* context, std::function<void()> work);

}  // namespace koru
