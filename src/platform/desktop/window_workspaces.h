#pragma once
// Shows a top-level window on every workspace or on the current one only (EWMH "sticky").
#include <cstdint>

namespace koru {

// `window` is the native window id; false when there is no X display.
bool SetWindowOnAllWorkspaces(uintptr_t window, bool all);

}  // namespace koru
