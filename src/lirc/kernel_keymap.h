#pragma once
// The kernel's remote keymap files (rc_keymap(5), TOML): one or more [[protocols]] tables, each
// with a name, a protocol, an optional variant, protocol parameters and a
// [protocols.scancodes] table of scancode = "KEY_NAME". Only what these files use of TOML is
// read: comments, bare and quoted keys, strings in double or single quotes, integers (decimal,
// hexadecimal, octal, binary, with '_' between digits) and those two table headers.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/messaging/status.h"

namespace koru {

struct KernelKeymap {
  std::string name;
  std::string protocol;
  std::string variant;
  std::vector<std::pair<uint64_t, std::string>> scancodes;  // in the file's order
};

// The keymaps of a file's text; false and a message naming the line when the text is not one.
bool ParseKernelKeymaps(std::string_view text, std::vector<KernelKeymap>* keymaps,
                        std::string* message);

// kOk and the keymaps of the file; an error status and a message naming the file otherwise.
status_t ReadKernelKeymapFile(const std::string& path, std::vector<KernelKeymap>* keymaps,
                              std::string* message);

}  // namespace koru
