#pragma once
// One binding of the preset editor: the slot's value drawn right-aligned (shortened in the
// middle when it does not fit) under the slot label ("[D3]: "). A mouse press, or Enter,
// Space or the menu key while it has the focus, opens its pop-up menu; a file, folder or
// application dropped on it from a file manager binds its path; the menu's "File…", "Folder…"
// and "Web address…" ask for one without dragging. All send 'PEVp' to the window, which
// decides (a chosen file or folder as a drop, a web address with e_modus 6).
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QPoint>
#include <QUrl>
#include <functional>
#include <string>

#include "platform/messaging/messenger.h"

namespace koru {

class PresetBindingView : public QLabel {
  Q_OBJECT
 public:
  PresetBindingView(int slot, const Messenger& window, QWidget* parent = nullptr);

  int Slot() const { return slot_; }
  // The slot's value as shown (and as "Copy" takes it).
  void SetValue(const QString& value);

  // The pop-up menu "EView_Menu", built on first use.
  QMenu* AddEPopMenu();
  // Shows the menu at a screen position without waiting for the choice.
  void OpenMenu(const QPoint& screen_position);

  // What "File…", "Folder…" and "Web address…" ask for; an empty answer binds nothing.
  enum class Choice { kFile, kFolder, kWebAddress };
  using Chooser = std::function<QString(QWidget* parent, Choice choice)>;
  // By default a file chooser or a line entry; tests answer instead.
  static void SetChooser(Chooser chooser);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Choose(Choice choice);

  int slot_;
  int group_base_;
  QString slot_label_;
  QPoint label_position_{6, 14};
  Messenger window_;
  QMenu* menu_ = nullptr;
};

// The local path a drop of `urls` carries: the first URL when it is a local file, with a
// symbolic link kept as its own path; empty for anything else (remote URLs, no URL).
std::string DroppedPath(const QList<QUrl>& urls);

}  // namespace koru
