#include "toolkit/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace koru {

namespace {

qint64 OverlapArea(const QRect& a, const QRect& b) {
  const QRect both = a.intersected(b);
  return both.isEmpty() ? 0 : static_cast<qint64>(both.width()) * both.height();
}

}  // namespace

QRect FitOntoScreens(const QRect& frame, const QList<QRect>& available_areas) {
  if (available_areas.isEmpty()) return frame;
  QRect area = available_areas.first();
  qint64 best = -1;
  for (const QRect& candidate : available_areas) {
    const qint64 overlap = OverlapArea(frame, candidate);
    if (overlap > best) {
      best = overlap;
      area = candidate;
    }
  }
  QRect fitted = frame;
  fitted.setWidth(std::min(frame.width(), area.width()));
  fitted.setHeight(std::min(frame.height(), area.height()));
  fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.right() - fitted.width() + 1));
  fitted.moveTop(std::clamp(fitted.top(), area.top(), area.bottom() - fitted.height() + 1));
  return fitted;
}

void KeepOnScreen(QWidget* window) {
  if (CompositorPlacesWindows()) return;  // the compositor keeps its windows reachable
  QList<QRect> areas;
  for (const QScreen* screen : QGuiApplication::screens())
    areas.append(screen->availableGeometry());
  // The frame includes the title bar, so the window can still be dragged by it.
  const QRect frame = window->frameGeometry();
  const QRect fitted = FitOntoScreens(frame, areas);
  if (fitted == frame) return;
  const QSize decoration = frame.size() - window->geometry().size();
  window->resize(fitted.size() - decoration);
  window->move(fitted.topLeft());
}

bool CompositorPlacesWindows() {
  return QGuiApplication::platformName().startsWith("wayland");
}

Rect FrameToStore(const QWidget* window, const Rect& stored) {
  QPointF corner = window->pos();
  if (CompositorPlacesWindows()) corner = QPointF(stored.left, stored.top);
  return Rect{float(corner.x()), float(corner.y()), float(corner.x() + window->width()),
              float(corner.y() + window->height())};
}

}  // namespace koru
