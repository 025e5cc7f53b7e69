#pragma once
// A key press the kernel decoded itself (a receiver read in scancode mode): its protocol number
// and scancode as the kernel lays them out, and whether the key was held or pressed anew.
#include <cstdint>

#include "platform/messaging/clock.h"

namespace koru {

// The kernel's protocol numbers (its ABI, enum rc_proto).
enum KernelProtocol : uint32_t {
  kRcUnknown = 0,
  kRcOther = 1,
  kRcRc5 = 2,
  kRcRc5x20 = 3,
  kRcRc5Sz = 4,
  kRcJvc = 5,
  kRcSony12 = 6,
  kRcSony15 = 7,
  kRcSony20 = 8,
  kRcNec = 9,
  kRcNecx = 10,
  kRcNec32 = 11,
  kRcSanyo = 12,
  kRcMcir2Kbd = 13,
  kRcMcir2Mse = 14,
  kRcRc6_0 = 15,
  kRcRc6_6a20 = 16,
  kRcRc6_6a24 = 17,
  kRcRc6_6a32 = 18,
  kRcRc6Mce = 19,
  kRcSharp = 20,
  kRcXmp = 21,
  kRcCec = 22,
  kRcImon = 23,
  kRcRcmm12 = 24,
  kRcRcmm24 = 25,
  kRcRcmm32 = 26,
  kRcXboxDvd = 27,
};

struct KernelScancode {
  bigtime_t time = 0;  // when the kernel decoded it, on the thread's clock
  uint32_t protocol = kRcUnknown;
  uint64_t scancode = 0;
  bool repeat = false;  // the key is held (the same press as the last one)
  bool toggle = false;  // the protocol's toggle bit
};

}  // namespace koru
