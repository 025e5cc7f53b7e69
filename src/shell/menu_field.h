#pragma once
// A labelled button with a pop-up menu; the button shows the marked (checked) item.
#include <QLabel>
#include <QMenu>
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

  QLabel* label_;
  QPushButton* button_;
  QMenu* menu_;
  bool radio_ = true;
};
