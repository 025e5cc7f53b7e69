#include "toolkit/mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <set>

#include "toolkit/menu_field.h"

namespace koru {

namespace {

bool HasMnemonic(const QString& text) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] != '&') return true;
    ++i;  // "&&" is a plain '&'
  }
  return false;
}

// Marks the first letter of a word not yet taken, else any letter not yet taken; unchanged when
// every letter is taken.
QString WithMnemonic(const QString& text, std::set<QChar>* taken) {
  if (text.isEmpty() || HasMnemonic(text)) return text;
  for (const bool word_starts_only : {true, false}) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      const QChar c = text[i];
      if (!c.isLetterOrNumber() || c == '&') continue;
      if (word_starts_only && i > 0 && text[i - 1].isLetterOrNumber()) continue;
      if (!taken->insert(c.toLower()).second) continue;
      QString marked = text;
      marked.insert(i, '&');
      return marked;
    }
  }
  return text;
}

void Reserve(const QString& text, std::set<QChar>* taken) {
  for (qsizetype i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '&' && text[i + 1] != '&') taken->insert(text[i + 1].toLower());
    if (text[i] == '&') ++i;
  }
}

void GiveMenuMnemonics(QMenu* menu) {
  std::set<QChar> taken;
  const QList<QAction*> actions = menu->actions();
  for (QAction* action : actions) Reserve(action->text(), &taken);
  for (QAction* action : actions) {
    if (action->isSeparator()) continue;
    action->setText(WithMnemonic(action->text(), &taken));
    if (QMenu* sub = action->menu()) GiveMenuMnemonics(sub);
  }
}

}  // namespace

QString WithoutMnemonic(const QString& text) {
  QString plain;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

void GiveMnemonics(QWidget* window) {
  std::set<QChar> taken;
  QMenuBar* bar = nullptr;
  if (auto* main = qobject_cast<QMainWindow*>(window)) bar = main->menuBar();
  // Buttons that name something (the menu field's value, a tool button's preset file) keep
  // their text as it is.
  QList<QAbstractButton*> buttons;
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    auto* push = qobject_cast<QPushButton*>(button);
    if (push != nullptr && (push->menu() != nullptr || qobject_cast<MenuField*>(push->parent())))
      continue;
    if (push != nullptr || qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button))
      buttons << button;
  }
  if (bar != nullptr) {
    for (QAction* title : bar->actions()) Reserve(title->text(), &taken);
  }
  for (QAbstractButton* button : buttons) Reserve(button->text(), &taken);
  if (bar != nullptr) {
    for (QAction* title : bar->actions()) {
      title->setText(WithMnemonic(title->text(), &taken));
      if (QMenu* menu = title->menu()) GiveMenuMnemonics(menu);
    }
    if (window->findChild<QShortcut*>("menuKey") == nullptr) {
      auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), window);
      f10->setObjectName("menuKey");
      QObject::connect(f10, &QShortcut::activated, bar, [bar] {
        for (QAction* title : bar->actions()) {
          if (!title->isVisible() || title->menu() == nullptr) continue;
          bar->setActiveAction(title);
          return;
        }
      });
    }
  }
  for (QAbstractButton* button : buttons) {
    // Buttons without words (drawn, or icons) have nothing to mark.
    button->setText(WithMnemonic(button->text(), &taken));
  }
}

}  // namespace koru
