#include "toolkit/message_action.h"

#include "toolkit/mnemonics.h"

namespace koru {

MessageAction::MessageAction(const QString& label, const Message& message, const Messenger& target,
                             QObject* parent)
    : QAction(label, parent), message_(message), target_(target) {
  connect(this, &QAction::triggered, this, [this] {
    if (!target_.IsValid()) return;
    // As chosen items do: the item's position in its menu (separators count) goes along.
    Message chosen = message_;
    int32_t index = -1;
    for (QObject* owner : associatedObjects()) {
      if (auto* menu = qobject_cast<QMenu*>(owner)) {
        index = static_cast<int32_t>(menu->actions().indexOf(this));
        break;
      }
    }
    chosen.RemoveName("index");
    chosen.AddInt32("index", index);
    target_.SendMessage(chosen);
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
    if (!action->isSeparator() && WithoutMnemonic(action->text()) == WithoutMnemonic(label))
      return action;
    if (QAction* found = FindMenuItem(action->menu(), label)) return found;
  }
  return nullptr;
}

}  // namespace koru
