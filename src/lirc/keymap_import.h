#pragma once
// Import of the kernel's remote keymaps into KORU remote files, the same way as LIRC remotes
// (lirc_import.h: key names, report, refusals): each key's scancode becomes the press its
// protocol sends, played through KORU's own receiver, and the file holds the code the receiver
// reported, which is also the code a receiver in scancode mode reports for the key. A keymap of
// a protocol KORU does not decode is reported and skipped.
#include <vector>

#include "lirc/kernel_keymap.h"
#include "lirc/lirc_import.h"

namespace koru {

std::vector<LircImportReport> ImportKernelKeymaps(const std::vector<KernelKeymap>& keymaps,
                                                  const LircImportOptions& options);

}  // namespace koru
