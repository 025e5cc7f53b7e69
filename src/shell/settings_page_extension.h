#pragma once
// Controls that other parts of the program add to the settings page each time it is built
// (the page is rebuilt on every switch, so the extension runs every time).
#include <functional>

class QWidget;

namespace koru {

using SettingsPageExtension = std::function<void(QWidget* page)>;

// A widget added with this property set to true is placed after the page's switches.
inline constexpr char kFollowsSwitches[] = "followsSwitches";

// nullptr removes it.
void SetSettingsPageExtension(SettingsPageExtension extension);
// Called by the settings page after its own controls.
void ExtendSettingsPage(QWidget* page);

}  // namespace koru
