#pragma once
// GTK accelerator texts ("<Super>Home", "<Primary><Alt>Left") as evdev key strokes, and the
// string lists that gsettings prints for key bindings ("['<Super>Home', '<Control><Alt>Left']",
// "@as []"). Evdev codes name places on the keyboard, not characters: letters, digits and
// punctuation are taken at their place on a US layout.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace koru {

// The keys of one accelerator, modifiers first in the order written, then the key; empty when
// a name is not understood, the key is missing, or the binding is "disabled".
std::vector<uint16_t> ParseGtkAccelerator(std::string_view accelerator);

// The items of a GVariant string list in its text form; empty when the text is not one.
std::vector<std::string> ParseGVariantStringList(std::string_view text);

}  // namespace koru
