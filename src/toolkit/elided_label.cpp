#include "toolkit/elided_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

namespace koru {

QString ElideMiddle(const QFontMetrics& metrics, const QString& text, int width) {
  return metrics.elidedText(text, Qt::ElideMiddle, width);
}

ElidedLabel::ElidedLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

bool ElidedLabel::Elided() const {
  return fontMetrics().horizontalAdvance(text()) > contentsRect().width();
}

void ElidedLabel::paintEvent(QPaintEvent* event) {
  if (!Elided()) {
    QLabel::paintEvent(event);
    return;
  }
  QPainter painter(this);
  const QRect area = contentsRect();
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(area, static_cast<int>(alignment()),
                   ElideMiddle(fontMetrics(), text(), area.width()));
}

bool ElidedLabel::event(QEvent* event) {
  // The whole text where it is shortened, unless the label has a tool tip of its own.
  if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
    if (Elided()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    } else {
      QToolTip::hideText();
      event->ignore();
    }
    return true;
  }
  return QLabel::event(event);
}

}  // namespace koru
