#pragma once
// Flags the receiver thread, the receiver view and the main window share. Atomic: they are
// written and read by several threads without a lock.
#include <atomic>
#include <cstdint>

// 1 while the receiver thread is in its sampling loop; 0 after a clear or a self-suspension.
extern std::atomic<int32_t> CHECK_SCAN_IR;
// Receiving switched on (the view resumes the thread and draws the lamp only then).
extern std::atomic<int32_t> SCAN_CONTINOUS;
// Set by the key router after a short code (the main window hands it this flag); cleared by the
// thread after each decoded report.
extern std::atomic<bool> SLOWDOWN_GLOBAL;
