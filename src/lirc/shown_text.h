#pragma once
// Names from a lircd.conf are anyone's bytes: before they are shown on a terminal (where an
// escape sequence could set the title or worse) or cut to a length, they are made safe.
#include <cstddef>
#include <string>
#include <string_view>

namespace koru {

// `text` with every control character but the line end (C0, DEL, and C1 as UTF-8) made '?'.
std::string ShownSafely(std::string_view text);

// At most `bytes` bytes of `text`, never ending inside a UTF-8 character.
std::string_view CutUtf8(std::string_view text, size_t bytes);

}  // namespace koru
