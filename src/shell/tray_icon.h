#pragma once
// KORU's icon in the desktop's tray: the receiver's state and the last key recognised as its
// tool tip, a menu with "Show KORU", the virtual remote and "Quit". While the icon is shown and
// "close to tray" is on, closing the main window hides it instead of ending KORU; without a tray,
// closing ends KORU as before.
//
//   TrayIcon tray(window, QSystemTrayIcon::isSystemTrayAvailable());
//   tray.SetReceiverState("serial1", true);
//   tray.SetLastKey("LR-SAT", "N1");
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>
#include <string>

namespace koru {

class TrayIcon : public QObject {
 public:
  // `available`: whether the desktop has a tray; the icon is shown only then.
  TrayIcon(QWidget* window, bool available);
  ~TrayIcon() override;

  bool Shown() const { return shown_; }
  QMenu* Menu() { return &menu_; }
  QString ToolTip() const { return icon_.toolTip(); }

  void SetReceiverState(const std::string& port, bool open);
  void SetLastKey(const std::string& remote, const std::string& key);

  bool CloseToTray() const { return close_to_tray_; }
  void SetCloseToTray(bool on) { close_to_tray_ = on; }

  // KORU's icon (the shipped picture, built into the program).
  static QIcon AppIcon();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Update();

  QPointer<QWidget> window_;
  // Set while the application handles a quit: its windows are then closed for good, and a
  // window that refused would cancel the quit.
  bool quitting_ = false;
  const QIcon app_icon_ = AppIcon();  // read once, when first drawn
  QMenu menu_;
  QSystemTrayIcon icon_;
  bool shown_ = false;
  bool close_to_tray_ = true;
  std::string port_;
  bool port_open_ = false;
  std::string last_key_;
};

}  // namespace koru
