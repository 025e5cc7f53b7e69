#pragma once
// Keyboard access for a window: each menu-bar title, each menu item and each button or check box
// gets a mnemonic (an underlined letter: Alt+letter opens or presses it), chosen from its own
// words so that it works in every language, and F10 opens the first menu. The letters of the
// menu-bar titles and the buttons of one window are unique among themselves; a menu's items are
// unique within their menu. A text that already has one keeps it.
//
//   BuildMenus(); BuildPanel();
//   GiveMnemonics(this);
#include <QString>

class QWidget;

namespace koru {

void GiveMnemonics(QWidget* window);

// The text without its mnemonic marks ("&File" -> "File", "R&&D" -> "R&D").
QString WithoutMnemonic(const QString& text);

}  // namespace koru
