#pragma once
// Keeps windows reachable: a frame stored on a larger screen, or on a screen that is gone, is
// moved (and if need be shrunk) fully onto the screen that holds most of it.
#include <QList>
#include <QRect>

#include "platform/messaging/rect.h"

class QWidget;

namespace koru {

// The frame moved fully into the available area of the screen it overlaps most (the first
// screen when it overlaps none), shrunk only where it is larger than that area.
QRect FitOntoScreens(const QRect& frame, const QList<QRect>& available_areas);

// Applies FitOntoScreens to a top-level window's frame with the screens Qt knows.
void KeepOnScreen(QWidget* window);

// Wayland compositors place top-level windows themselves and tell no client where: positions
// read back as 0,0 and moves are ignored.
bool CompositorPlacesWindows();

// The frame to store for a window: its size, and its position only where the window system
// tells it (elsewhere the stored position stays as it was).
Rect FrameToStore(const QWidget* window, const Rect& stored);

}  // namespace koru
