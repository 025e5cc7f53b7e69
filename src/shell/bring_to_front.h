#pragma once
// Shows a window that may be hidden (in the tray) or minimised, raises it and gives it focus.
class QWidget;

void BringToFront(QWidget* window);
