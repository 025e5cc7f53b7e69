#include "toolkit/menu_field.h"

#include <QActionEvent>
#include <QHBoxLayout>
#include <QStyle>
#include <QStyleOptionButton>

namespace koru {

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
  button_->installEventFilter(this);
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
  ShowOnButton(marked);
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
  if (watched == button_ && event->type() == QEvent::Resize) FitButtonText();
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
  ShowOnButton(shown_ ? shown_->text() : menu_->title());
}

void MenuField::ShowOnButton(const QString& text) {
  button_text_ = text;
  FitButtonText();
}

void MenuField::FitButtonText() {
  // The room the style leaves for the text beside the arrow.
  QStyleOptionButton option;
  option.initFrom(button_);
  option.features |= QStyleOptionButton::HasMenu;
  const QStyle* style = button_->style();
  const int room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button_).width() -
                   style->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, button_);
  const QFontMetrics metrics = button_->fontMetrics();
  const bool fits = metrics.horizontalAdvance(button_text_) <= room;
  button_->setText(fits ? button_text_ : metrics.elidedText(button_text_, Qt::ElideMiddle, room));
  button_->setToolTip(fits ? QString() : button_text_);
}

}  // namespace koru
