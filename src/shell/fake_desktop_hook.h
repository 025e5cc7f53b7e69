#pragma once

namespace koru {

// The program's test hook (KORU_FAKE_DESKTOP=1): the actions act on recording fakes instead of
// the real desktop, and every call they make is printed on the trace as "fake: ...". It lets a
// whole run, receiver to action, be checked without a display.
struct WindowSetup;
void UseFakeDesktop(WindowSetup* setup);

}  // namespace koru
