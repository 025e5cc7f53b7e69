#pragma once
// A labelled button with a pop-up menu; the button shows the marked (checked) item.
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QWidget>
#include <functional>

namespace koru {

class MenuField : public QWidget {
  Q_OBJECT
 public:
  MenuField(const QString& label, QMenu* menu, QWidget* parent = nullptr);

  // The menu, with its items: a fill still pending runs first.
  QMenu* Menu() const;
  QString Title() const { return menu_->title(); }
  QLabel* Label() const { return label_; }
  QPushButton* Button() const { return button_; }
  // Only one item may be marked: choosing one unmarks the others.
  void SetRadioMode(bool radio) { radio_ = radio; }
  // The marked item's text, or the menu's title when none is marked.
  QString MarkedText() const;
  // Empties the menu and has `fill` put its items in when the menu is first shown or looked
  // at; until then the button shows `marked` (the text of the item `fill` will mark, or the
  // menu's title). Menus of thousands of remotes then cost nothing at start-up.
  void ReplaceItemsLater(std::function<void(QMenu*)> fill, const QString& marked);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  // The button shows `text`, shortened in the middle to fit beside its arrow, whole as its
  // tool tip when shortened.
  void ShowOnButton(const QString& text);
  void FitButtonText();
  void FillNow() const;
  // Whether a change of `action` can change what the button shows: menus of thousands of
  // items are filled one item at a time, and each item must not cost a walk over all of them.
  bool Affects(const QAction* action) const;

  QLabel* label_;
  QPushButton* button_;
  QMenu* menu_;
  bool radio_ = true;
  QPointer<QAction> shown_;  // the marked item the button shows, or none
  mutable std::function<void(QMenu*)> fill_;
  QString pending_marked_;
  QString button_text_;  // what the button shows, whole
};

}  // namespace koru
