#pragma once
// A menu item that carries a message and sends it to its target when chosen.
#include <QAction>
#include <QMenu>

#include "platform/messaging/message.h"

namespace koru {

class MessageAction : public QAction {
  Q_OBJECT
 public:
  MessageAction(const QString& label, const Message& message, const Messenger& target,
                QObject* parent = nullptr);

  const Message& message() const { return message_; }
  uint32_t What() const { return message_.what; }
  void SetTarget(const Messenger& target) { target_ = target; }

 private:
  Message message_;
  Messenger target_;
};

// Appends an item with `label` that sends `message` to `target`.
MessageAction* AddMenuItem(QMenu* menu, const QString& label, const Message& message,
                           const Messenger& target);

// The first item (sub-menus included, depth first) whose message has `code` / whose text is
// `label`; nullptr when there is none.
QAction* FindMenuItem(QMenu* menu, uint32_t code);
QAction* FindMenuItem(QMenu* menu, const QString& label);

}  // namespace koru
