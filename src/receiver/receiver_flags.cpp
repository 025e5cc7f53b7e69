#include "receiver/receiver_flags.h"

std::atomic<int32_t> CHECK_SCAN_IR{0};
std::atomic<int32_t> SCAN_CONTINOUS{1};
std::atomic<bool> SLOWDOWN_GLOBAL{false};
