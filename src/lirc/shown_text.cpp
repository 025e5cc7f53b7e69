#include "lirc/shown_text.h"

namespace koru {

std::string ShownSafely(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && c != '\n') || c == 0x7f) {
      shown += '?';
    } else if (c == 0xc2 && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xe0) == 0x80) {
      shown += '?';  // U+0080..U+009F: CSI and its kin on some terminals
      ++i;
    } else {
      shown += static_cast<char>(c);
    }
  }
  return shown;
}

std::string_view CutUtf8(std::string_view text, size_t bytes) {
  if (text.size() <= bytes) return text;
  // Back over continuation bytes: the cut then falls before the character they belong to.
  size_t cut = bytes;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xc0) == 0x80) --cut;
  return text.substr(0, cut);
}

}  // namespace koru
