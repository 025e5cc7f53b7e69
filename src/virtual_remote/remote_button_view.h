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

class RemoteButtonView : public QWidget {
  Q_OBJECT
 public:
  RemoteButtonView(const QRect& frame, const char* name, int32_t keyFunction,
                   QWidget* parent = nullptr);
  ~RemoteButtonView() override;

  int32_t KeyFunction() const { return fKeyFunction; }
  QString Label() const { return fLabel; }
  // What the button shows now ("move" while it is dragged).
  QString ShownText() const { return fMoving ? QStringLiteral("move") : fLabel; }

  bool Lit() const { return fLit; }
  void SetLit(bool lit) { fLit = lit; }
  bool Moving() const { return fMoving; }
  void SetMoving(bool moving) { fMoving = moving; }
  bool Taught() const { return fTaught; }
  void SetTaught(bool taught) { fTaught = taught; }

  void SetTarget(const Messenger& target) { fTarget = target; }

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

  int32_t fKeyFunction;
  int fSymbol;
  bool fLit = false;
  bool fMoving = false;
  bool fTaught = false;
  bool fDragged = false;
  QRect fOldFrame;
  QPoint fWhere;
  quint64 fPressTime = 0;
  QString fLabel;
  QColor fViewColor;
  QImage fFace;
  int32_t fInstance;
  Messenger fTarget;
};
