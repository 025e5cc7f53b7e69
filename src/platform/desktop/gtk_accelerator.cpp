#include "platform/desktop/gtk_accelerator.h"

#include <linux/input-event-codes.h>

#include <cctype>
#include <optional>

namespace koru {

namespace {

struct NamedKey {
  std::string_view name;
  uint16_t code;
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

template <size_t N>
std::optional<uint16_t> Find(const NamedKey (&table)[N], std::string_view name) {
  for (const NamedKey& key : table) {
    if (SameName(key.name, name)) return key.code;
  }
  return std::nullopt;
}

// GTK's modifier names. Meta sits on the Alt keys and Hyper on the Super keys of the usual
// keyboard maps.
constexpr NamedKey kModifiers[] = {
    {"Shift", KEY_LEFTSHIFT}, {"Shft", KEY_LEFTSHIFT}, {"Control", KEY_LEFTCTRL},
    {"Ctrl", KEY_LEFTCTRL},   {"Ctl", KEY_LEFTCTRL},   {"Primary", KEY_LEFTCTRL},
    {"Alt", KEY_LEFTALT},     {"Mod1", KEY_LEFTALT},   {"Meta", KEY_LEFTALT},
    {"Super", KEY_LEFTMETA},  {"Hyper", KEY_LEFTMETA}, {"Mod4", KEY_LEFTMETA},
};

// Keysym names of the keys that bindings use, beside letters, digits and function keys.
constexpr NamedKey kKeys[] = {
    {"Home", KEY_HOME},
    {"End", KEY_END},
    {"Page_Up", KEY_PAGEUP},
    {"Prior", KEY_PAGEUP},
    {"Page_Down", KEY_PAGEDOWN},
    {"Next", KEY_PAGEDOWN},
    {"Left", KEY_LEFT},
    {"Right", KEY_RIGHT},
    {"Up", KEY_UP},
    {"Down", KEY_DOWN},
    {"Tab", KEY_TAB},
    {"ISO_Left_Tab", KEY_TAB},
    {"Return", KEY_ENTER},
    {"KP_Enter", KEY_KPENTER},
    {"Escape", KEY_ESC},
    {"space", KEY_SPACE},
    {"BackSpace", KEY_BACKSPACE},
    {"Delete", KEY_DELETE},
    {"Insert", KEY_INSERT},
    {"Print", KEY_SYSRQ},
    {"Menu", KEY_COMPOSE},
    {"Above_Tab", KEY_GRAVE},  // the desktop's name for the key above Tab, whatever it types
    {"grave", KEY_GRAVE},
    {"minus", KEY_MINUS},
    {"equal", KEY_EQUAL},
    {"comma", KEY_COMMA},
    {"period", KEY_DOT},
    {"slash", KEY_SLASH},
    {"backslash", KEY_BACKSLASH},
    {"semicolon", KEY_SEMICOLON},
    {"apostrophe", KEY_APOSTROPHE},
    {"bracketleft", KEY_LEFTBRACE},
    {"bracketright", KEY_RIGHTBRACE},
    {"KP_Add", KEY_KPPLUS},
    {"KP_Subtract", KEY_KPMINUS},
    {"KP_Multiply", KEY_KPASTERISK},
    {"KP_Divide", KEY_KPSLASH},
    {"KP_0", KEY_KP0},
    {"KP_1", KEY_KP1},
    {"KP_2", KEY_KP2},
    {"KP_3", KEY_KP3},
    {"KP_4", KEY_KP4},
    {"KP_5", KEY_KP5},
    {"KP_6", KEY_KP6},
    {"KP_7", KEY_KP7},
    {"KP_8", KEY_KP8},
    {"KP_9", KEY_KP9},
};

std::optional<uint16_t> KeyCode(std::string_view name) {
  if (name.size() == 1) {
    static constexpr uint16_t kLetters[] = {
        KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
        KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
    };
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    if (c >= 'a' && c <= 'z') return kLetters[c - 'a'];
    if (c == '0') return KEY_0;
    if (c >= '1' && c <= '9') return static_cast<uint16_t>(KEY_1 + (c - '1'));
    return std::nullopt;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() <= 3) {
    int number = 0;
    for (char c : name.substr(1)) {
      if (c < '0' || c > '9') return Find(kKeys, name);
      number = number * 10 + (c - '0');
    }
    if (number >= 1 && number <= 10) return static_cast<uint16_t>(KEY_F1 + number - 1);
    if (number == 11) return KEY_F11;
    if (number == 12) return KEY_F12;
    if (number >= 13 && number <= 24) return static_cast<uint16_t>(KEY_F13 + number - 13);
    return std::nullopt;
  }
  return Find(kKeys, name);
}

}  // namespace

std::vector<uint16_t> ParseGtkAccelerator(std::string_view accelerator) {
  std::vector<uint16_t> keys;
  while (!accelerator.empty() && accelerator.front() == '<') {
    size_t close = accelerator.find('>');
    if (close == std::string_view::npos) return {};
    std::optional<uint16_t> modifier = Find(kModifiers, accelerator.substr(1, close - 1));
    if (!modifier) return {};
    bool known = false;
    for (uint16_t key : keys) known = known || key == *modifier;
    if (!known) keys.push_back(*modifier);
    accelerator.remove_prefix(close + 1);
  }
  if (accelerator.empty()) return {};
  std::optional<uint16_t> key = KeyCode(accelerator);
  if (!key) return {};
  keys.push_back(*key);
  return keys;
}

std::vector<std::string> ParseGVariantStringList(std::string_view text) {
  auto skip_blanks = [&] {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
      text.remove_prefix(1);
  };
  skip_blanks();
  if (text.starts_with("@as")) text.remove_prefix(3);
  skip_blanks();
  if (text.empty() || text.front() != '[') return {};
  text.remove_prefix(1);
  std::vector<std::string> items;
  skip_blanks();
  if (!text.empty() && text.front() == ']') return items;
  while (true) {
    skip_blanks();
    if (text.empty() || (text.front() != '\'' && text.front() != '"')) return {};
    char quote = text.front();
    text.remove_prefix(1);
    std::string item;
    while (!text.empty() && text.front() != quote) {
      if (text.front() == '\\' && text.size() > 1) text.remove_prefix(1);
      item += text.front();
      text.remove_prefix(1);
    }
    if (text.empty()) return {};
    text.remove_prefix(1);
    items.push_back(std::move(item));
    skip_blanks();
    if (text.empty()) return {};
    if (text.front() == ']') return items;
    if (text.front() != ',') return {};
    text.remove_prefix(1);
  }
}

}  // namespace koru
