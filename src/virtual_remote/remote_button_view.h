#pragma once
// One button of the virtual remote board. It shows a key function's label on a button face,
// lights up when the board says its key was received, is drawn bold when the shown remote has
// been taught the key, and can be dragged to a new place with the mouse. Clicking never sends a
// key: the board shows what the physical remote does; the mouse only arranges the buttons.
//
// Dragging keeps the pointer 20 pixels from the button's left and 10 from its top; on release
// the place snaps to the grid (SnapButtonPlace) and, when it changed, 'VR_U' goes to the
// target set with SetTarget (the virtual remote window).
#include <QImage>
#include <QWidget>
#include <cstdint>

#include "platform/messaging/message.h"

namespace koru {

class RemoteButtonView : public QWidget {
  Q_OBJECT
 public:
  RemoteButtonView(const QRect& frame, const char* name, int32_t keyFunction,
                   QWidget* parent = nullptr);
  ~RemoteButtonView() override;

  QString Label() const { return label_; }
  // What the button shows now ("move" while it is dragged).
  QString ShownText() const { return moving_ ? QStringLiteral("move") : label_; }

  bool Lit() const { return lit_; }
  void SetLit(bool lit) { lit_ = lit; }
  bool Moving() const { return moving_; }
  void SetMoving(bool moving) { moving_ = moving; }
  bool Taught() const { return taught_; }
  void SetTaught(bool taught) { taught_ = taught; }

  void SetTarget(const Messenger& target) { target_ = target; }

  // The colours of the face and the label as they are drawn now.
  QColor FaceColor() const;
  QColor LabelColor() const;

  // Draws the dual-function symbol of the button.
  void VT_gfx(class QPainter& painter) const;

  // Buttons alive now; the board's dual mode, shared by every button.
  static int32_t ccounter;
  static bool useingDualButtons;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void EndDrag(bool place);

  int32_t key_function_;
  int symbol_;
  bool lit_ = false;
  bool moving_ = false;
  bool taught_ = false;
  bool dragged_ = false;
  QRect old_frame_;
  QPoint where_;
  quint64 press_time_ = 0;
  QString label_;
  QColor view_color_;
  QImage face_;
  int32_t instance_;
  Messenger target_;
};

}  // namespace koru
