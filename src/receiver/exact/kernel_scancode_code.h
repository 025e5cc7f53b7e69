#pragma once
// The exact code of a press the kernel decoded: its scancode read by the kernel's documented
// layout for the protocol. Protocols KORU reads from the periods give the code KORU's own
// decoder reads from the same frame; the others give a hash-like code of their own, the same
// for every press of the key.
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/lines/kernel_scancode.h"
#include "receiver/exact/exact_code.h"

namespace koru {

ExactCode ExactFromKernelScancode(uint32_t protocol, uint64_t scancode);

// True for the protocols whose codes KORU's decoder also reads from the periods.
bool KernelProtocolDecoded(uint32_t protocol);

// The kernel's protocol of a keymap's "protocol" and "variant" (rc_keymap(5): "nec" / "necx",
// "rc5" / "rc5", "rc6" / "rc6_mce", "sony" / "sony12" ...) for a scancode; a NEC keymap without
// variant tells the variant by the scancode's width. Nothing for a protocol the kernel
// decodes in no way KORU can name.
std::optional<uint32_t> KernelProtocolOfKeymap(std::string_view protocol, std::string_view variant,
                                               uint64_t scancode);

}  // namespace koru
