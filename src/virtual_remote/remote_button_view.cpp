#include "virtual_remote/remote_button_view.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "platform/messaging/trace.h"
#include "settings/key_functions.h"
#include "virtual_remote/button_table.h"
#include "virtual_remote/placement_rules.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

int32_t RemoteButtonView::ccounter = 0;
bool RemoteButtonView::useingDualButtons = false;

namespace {

// A press released sooner than this, without the pointer moving, is a click, not a drag.
constexpr quint64 kHoldMs = 20;

int SymbolIndex(int32_t key_function) {
  switch (key_function) {
    case kDualProgramUp:
      return 4;
    case kDualProgramDown:
      return 5;
    case kDualVolumeDown:
      return 6;
    case kDualVolumeUp:
      return 7;
    case kDualMute:
      return 10;
    case kDualMenu:
      return 1;
    case kDualExit:
      return 0;
    case kDualEnter:
      return 9;
    case kDualFavourite:
      return 8;
    case kDualTab:
      return 2;
    case kDualOk:
      return 3;
    default:
      return 11;
  }
}

// The six faces: a soft sheen lit from the side the key points to (the arrow and channel keys),
// a wide one for the group buttons and a plain one for the rest. Half transparent, so that the
// lit and moving colours show through.
QImage MakeFace(int32_t key_function, int width) {
  QImage face(width, kButtonHeight, QImage::Format_ARGB32_Premultiplied);
  face.fill(Qt::transparent);
  QPointF from(0, 0), to(0, kButtonHeight);
  switch (key_function) {
    case kKeyArrowUp:
    case kKeyProgramUp:
      break;  // up
    case kKeyArrowDown:
    case kKeyProgramDown:
      std::swap(from, to);
      break;  // down
    case kKeyArrowLeft:
    case kKeyVolumeDown:
      from = {0, 0}, to = {qreal(width), 0};
      break;  // left
    case kKeyArrowRight:
    case kKeyVolumeUp:
      from = {qreal(width), 0}, to = {0, 0};
      break;  // right
    default:
      break;
  }
  QLinearGradient sheen(from, to);
  const bool wide = key_function > kLastDualFunction;
  sheen.setColorAt(0.0, QColor(255, 255, 255, wide ? 150 : 120));
  sheen.setColorAt(0.45, QColor(255, 255, 255, 20));
  sheen.setColorAt(1.0, QColor(0, 0, 0, wide ? 60 : 45));
  QPainter painter(&face);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 0, 0, 70), 1));
  painter.setBrush(sheen);
  painter.drawRoundedRect(QRectF(0.5, 0.5, width - 1, kButtonHeight - 1), 3, 3);
  return face;
}

}  // namespace

RemoteButtonView::RemoteButtonView(const QRect& frame, const char* name, int32_t keyFunction,
                                   QWidget* parent)
    : QWidget(parent),
      key_function_(keyFunction),
      symbol_(SymbolIndex(keyFunction)),
      label_(QString::fromUtf8(ButtonLabel(keyFunction))),
      instance_(++ccounter) {
  setObjectName(name);
  // A transparent parent would leave the rounded corners unpainted: plain grey then.
  view_color_ = parent != nullptr && parent->palette().color(QPalette::Window).alpha() != 0
                    ? parent->palette().color(QPalette::Window)
                    : QColor(216, 216, 216);
  const int width = ButtonWidth(keyFunction);
  setGeometry(QRect(frame.topLeft(), QSize(width, kButtonHeight)));
  face_ = MakeFace(keyFunction, width);
}

RemoteButtonView::~RemoteButtonView() {
  --ccounter;
  if (ccounter < 0) Trace("ccounter -alert %ld!", static_cast<long>(ccounter));
}

QColor RemoteButtonView::FaceColor() const {
  if (moving_) return QColor(100, 250, 100);
  if (lit_) return key_function_ > kLastDualFunction ? QColor(250, 50, 50) : QColor(100, 100, 250);
  return view_color_;
}

QColor RemoteButtonView::LabelColor() const {
  QColor color(20, 20, 20);
  if (key_function_ == kKeyNoFunction) color = QColor(152, 152, 152);
  if (IsDualFunction(key_function_)) color = QColor(10, 10, 152);
  if (taught_) {
    color = QColor(255, 20, 20);
    if (IsDualFunction(key_function_)) {
      color = useingDualButtons ? QColor(255, 120, 20) : QColor(152, 152, 152);
    }
  }
  return color;
}

void RemoteButtonView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QRectF face = QRectF(rect());
  if (lit_ && !moving_ && key_function_ > kLastDualFunction) face.adjust(1, 1, -1, -1);
  painter.setPen(Qt::NoPen);
  painter.setBrush(FaceColor());
  painter.drawRoundedRect(face, 3, 3);
  painter.drawImage(rect(), face_);

  QFont font = painter.font();
  font.setPixelSize(10);
  font.setBold(taught_);
  qreal baseline = 16;
  if (IsDualFunction(key_function_)) {
    font.setPixelSize(9);
    baseline = 21;
  }
  painter.setFont(font);
  painter.setPen(LabelColor());
  const QString text = ShownText();
  const qreal x = (width() - QFontMetricsF(font).horizontalAdvance(text)) / 2;
  painter.drawText(QPointF(x, baseline), text);
  if (!moving_) VT_gfx(painter);
}

void RemoteButtonView::VT_gfx(QPainter& painter) const {
  const qreal L = 0, T = 0, R = width() - 1;
  const qreal c = (R - L) / 2;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor ink(80, 80, 80);
  painter.setPen(QPen(ink, 1));
  painter.setBrush(Qt::NoBrush);
  const auto box = [&](qreal left) {
    painter.drawRoundedRect(QRectF(QPointF(L + left, T + 4), QPointF(R - 11, T + 12)), 2, 2);
  };
  const auto triangle = [&](QPointF a, QPointF b, QPointF d) {
    painter.setBrush(ink);
    const QPointF points[] = {a, b, d};
    painter.drawPolygon(points, 3);
  };
  const auto line = [&](qreal x1, qreal y1, qreal x2, qreal y2) {
    painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
  };
  switch (symbol_) {
    case 4:
      triangle({c, T + 5}, {c + 5, T + 10}, {c - 5, T + 10});
      break;
    case 5:
      triangle({c, T + 10}, {c + 5, T + 5}, {c - 5, T + 5});
      break;
    case 6:
      triangle({c - 5, T + 8}, {c + 1, T + 4}, {c + 1, T + 12});
      break;
    case 7:
      triangle({c + 3, T + 8}, {c - 3, T + 4}, {c - 3, T + 12});
      break;
    case 10: {
      QFont font = painter.font();
      font.setPixelSize(9);
      font.setBold(false);
      painter.setFont(font);
      painter.drawText(QPointF(L + 8, T + 12), QStringLiteral("Mute"));
      break;
    }
    case 1:
      for (qreal y : {T + 6, T + 8, T + 10}) line(L + 16, y, R - 16, y);
      box(11);
      break;
    case 0:
      box(11);
      break;
    case 9:
      line(L + 14, T + 8, L + 17, T + 8);
      line(L + 18, T + 10, L + 20, T + 6);
      line(L + 21, T + 8, L + 23, T + 8);
      line(L + 25, T + 8, L + 27, T + 8);
      box(11);
      break;
    case 8:
      painter.drawRect(QRectF(QPointF(R - 15, T + 6), QPointF(R - 13, T + 8)));
      box(11);
      break;
    case 2:
      line(L + 19, T + 6, R - 18, T + 6);
      line(L + 16, T + 8, R - 15, T + 8);
      line(L + 19, T + 10, R - 18, T + 10);
      painter.drawRoundedRect(QRectF(QPointF(L + 12, T + 4), QPointF(R - 11, T + 12)), 2, 2);
      break;
    case 3:
      line(L + 23, T + 6, R - 14, T + 6);
      line(L + 20, T + 8, R - 14, T + 8);
      line(L + 16, T + 10, R - 14, T + 10);
      box(12);
      break;
    default:
      break;
  }
  painter.restore();
}

void RemoteButtonView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  old_frame_ = geometry();
  where_ = event->position().toPoint();
  press_time_ = event->timestamp();
  dragged_ = false;
  moving_ = true;
  raise();  // a dragged button passes over the others
  update();
}

void RemoteButtonView::mouseMoveEvent(QMouseEvent* event) {
  if (!moving_) return;
  const QPoint p = event->position().toPoint();
  if (p == where_) return;
  // The pointer sits 20 pixels from the left and 10 from the top of the button it drags.
  move(pos() + p - QPoint(20, 10));
  dragged_ = true;
}

void RemoteButtonView::mouseReleaseEvent(QMouseEvent* event) {
  if (!moving_ || event->button() != Qt::LeftButton) return;
  // A click released at once is no drag: the button stays and nothing is sent. A button held
  // without moving is snapped like a dropped one.
  EndDrag(dragged_ || event->timestamp() - press_time_ >= kHoldMs);
}

void RemoteButtonView::EndDrag(bool place) {
  moving_ = false;
  if (!place) {
    update();
    return;
  }
  QPoint drop = pos();
  // A drop beside the board lands on its edge rather than out of sight.
  if (QWidget* board = parentWidget()) {
    drop.setX(std::clamp(drop.x(), 0, std::max(0, board->width() - width())));
    drop.setY(std::clamp(drop.y(), 0, std::max(0, board->height() - height())));
  }
  move(SnapButtonPlace(drop));
  update();
  if (geometry() != old_frame_) target_.SendMessage(kButtonMoved);
}

}  // namespace koru
