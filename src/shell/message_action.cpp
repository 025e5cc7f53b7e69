#include "shell/message_action.h"

MessageAction::MessageAction(const QString& label, const Message& message, const Messenger& target,
                             QObject* parent)
    : QAction(label, parent), message_(message), target_(target) {
  connect(this, &QAction::triggered, this, [this] {
    if (target_.IsValid()) target_.SendMessage(message_);
  });
}

MessageAction* AddMenuItem(QMenu* menu, const QString& label, const Message& message,
                           const Messenger& target) {
  auto* action = new MessageAction(label, message, target, menu);
  menu->addAction(action);
  return action;
}

QAction* FindMenuItem(QMenu* menu, uint32_t code) {
  if (menu == nullptr) return nullptr;
  for (QAction* action : menu->actions()) {
    if (auto* item = qobject_cast<MessageAction*>(action); item && item->What() == code) {
      return action;
    }
    if (QAction* found = FindMenuItem(action->menu(), code)) return found;
  }
  return nullptr;
}

QAction* FindMenuItem(QMenu* menu, const QString& label) {
  if (menu == nullptr) return nullptr;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator() && action->text() == label) return action;
    if (QAction* found = FindMenuItem(action->menu(), label)) return found;
  }
  return nullptr;
}
