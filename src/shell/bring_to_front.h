#pragma once
// Shows a window that may be hidden (in the tray) or minimised, raises it and gives it focus.
// On Wayland only the compositor raises windows, and only for an activation token it issued: a
// token that came with the request (a launcher's XDG_ACTIVATION_TOKEN) is handed on to it.
#include <string>

class QWidget;

namespace koru {

void BringToFront(QWidget* window, const std::string& activation_token = {});

}  // namespace koru
