#include "platform/messaging/four_cc.h"

namespace koru {

std::string FourCCText(uint32_t code) {
  std::string text(4, '.');
  for (int i = 0; i < 4; ++i) {
    const auto byte = static_cast<unsigned char>((code >> (24 - 8 * i)) & 0xff);
    if (byte >= 0x20 && byte < 0x7f) text[i] = static_cast<char>(byte);
  }
  return text;
}

}  // namespace koru
