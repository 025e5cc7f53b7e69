#include "shell/menu_field.h"

#include <QActionEvent>
#include <QHBoxLayout>

MenuField::MenuField(const QString& label, QMenu* menu, QWidget* parent)
    : QWidget(parent),
      label_(new QLabel(label, this)),
      button_(new QPushButton(this)),
      menu_(menu) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(label_);
  layout->addWidget(button_, 1);
  if (label.isEmpty()) label_->hide();
  label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(label) + 2);
  menu_->setParent(this, menu_->windowFlags());
  button_->setMenu(menu_);
  menu_->installEventFilter(this);
  connect(menu_, &QMenu::aboutToShow, this, [this] { FillNow(); });
  connect(menu_, &QMenu::triggered, this, [this](QAction* chosen) {
    if (radio_ && chosen->isCheckable()) {
      for (QAction* action : menu_->actions()) {
        if (action != chosen) action->setChecked(false);
      }
      chosen->setChecked(true);
    }
    Refresh();
  });
  Refresh();
}

QMenu* MenuField::Menu() const {
  FillNow();
  return menu_;
}

void MenuField::ReplaceItemsLater(std::function<void(QMenu*)> fill, const QString& marked) {
  fill_ = nullptr;
  menu_->clear();
  fill_ = std::move(fill);
  pending_marked_ = marked;
  shown_ = nullptr;
  button_->setText(marked);
}

void MenuField::FillNow() const {
  if (!fill_) return;
  const std::function<void(QMenu*)> fill = std::move(fill_);
  fill_ = nullptr;
  fill(menu_);
  const_cast<MenuField*>(this)->Refresh();
}

QString MenuField::MarkedText() const {
  if (fill_) return pending_marked_;
  for (QAction* action : menu_->actions()) {
    if (action->isChecked()) return action->text();
  }
  return menu_->title();
}

bool MenuField::eventFilter(QObject* watched, QEvent* event) {
  if (watched == menu_ &&
      (event->type() == QEvent::ActionChanged || event->type() == QEvent::ActionAdded ||
       event->type() == QEvent::ActionRemoved) &&
      Affects(static_cast<QActionEvent*>(event)->action())) {
    Refresh();
  }
  return QWidget::eventFilter(watched, event);
}

bool MenuField::Affects(const QAction* action) const {
  if (fill_) return false;  // the button shows what the pending fill will mark
  // An unmarked item that is not the one shown leaves the first marked item where it was.
  return action == nullptr || action == shown_ || action->isChecked();
}

void MenuField::Refresh() {
  shown_ = nullptr;
  for (QAction* action : menu_->actions()) {
    if (action->isChecked()) {
      shown_ = action;
      break;
    }
  }
  button_->setText(shown_ ? shown_->text() : menu_->title());
}
