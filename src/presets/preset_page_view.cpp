#include "presets/preset_page_view.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "toolkit/view_utilities.h"

namespace koru {

PresetPageView::PresetPageView(const QString& name, const QColor& color, QWidget* parent)
    : QWidget(parent), name_(name) {
  setObjectName(name);
  font_ = font();
  font_.setPixelSize(23);
  SetViewColor(this, color);
}

void PresetPageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setFont(font_);
  painter.setPen(TintColor(palette().color(QPalette::Window), 1.5));
  // Rotated a quarter turn to the left, the text runs upwards from its baseline point; half
  // its width below the middle centres it.
  const int text_width = QFontMetrics(font_).horizontalAdvance(name_);
  painter.translate(25.0, (height() + text_width) / 2.0);
  painter.rotate(-90);
  painter.drawText(0, 0, name_);
}

void PresetPageView::resizeEvent(QResizeEvent*) {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    child->setGeometry(child->x(), child->y(), std::max(0, width() - child->x() - 10),
                       child->height());
  }
}

}  // namespace koru
