#pragma once

namespace koru {

// Whether a D-Bus session bus can be reached without waiting for one to be started: an address
// in the environment or the user bus of the runtime folder; with `display_starts_one`, also a
// display, on which D-Bus can start a bus. Without one, callers try nothing and say so at once.
bool SessionBusMayExist(bool display_starts_one);

}  // namespace koru
