#pragma once
// A labelled button with a pop-up menu; the button shows the marked (checked) item.
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

class MenuField : public QWidget {
  Q_OBJECT
 public:
  MenuField(const QString& label, QMenu* menu, QWidget* parent = nullptr);

  QMenu* Menu() const { return menu_; }
  QLabel* Label() const { return label_; }
  QPushButton* Button() const { return button_; }
  // Only one item may be marked: choosing one unmarks the others.
  void SetRadioMode(bool radio) { radio_ = radio; }
  // The marked item's text, or the menu's title when none is marked.
  QString MarkedText() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  // Whether a change of `action` can change what the button shows: menus of thousands of
  // items are filled one item at a time, and each item must not cost a walk over all of them.
  bool Affects(const QAction* action) const;

  QLabel* label_;
  QPushButton* button_;
  QMenu* menu_;
  bool radio_ = true;
  QPointer<QAction> shown_;  // the marked item the button shows, or none
};
