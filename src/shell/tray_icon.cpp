#include "shell/tray_icon.h"

#include <QApplication>
#include <QCloseEvent>
#include <QTimer>

#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/messenger.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"
#include "shell/bring_to_front.h"
#include "toolkit/deferred_icon.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

TrayIcon::TrayIcon(QWidget* window, bool available) : window_(window) {
  menu_.setObjectName("trayMenu");
  QAction* show = menu_.addAction("Show KORU");
  show->setObjectName("trayShow");
  connect(show, &QAction::triggered, this, [this] { BringToFront(window_); });
  // The virtual remote, as the main window's "View" menu offers it.
  QAction* remote = menu_.addAction(QString::fromUtf8(getLabel(kLabelLayout)));
  remote->setObjectName("trayRemote");
  connect(remote, &QAction::triggered, this,
          [] { AppMessenger().SendMessage(kOpenVirtualRemote); });
  menu_.addSeparator();
  QAction* quit = menu_.addAction("Quit");
  quit->setObjectName("trayQuit");
  // The same way out as the main window's "Quit": settings and frame are written.
  connect(quit, &QAction::triggered, this, [] { AppMessenger().SendMessage(kQuitRequested); });

  icon_.setContextMenu(&menu_);
  connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
    if (why != QSystemTrayIcon::Trigger || window_ == nullptr) return;
    if (window_->isVisible() && window_->isActiveWindow())
      window_->hide();
    else
      BringToFront(window_);
  });
  shown_ = available;
  Update();
  if (window_ != nullptr) window_->installEventFilter(this);
  QCoreApplication::instance()->installEventFilter(this);
  if (available) {
    icon_.show();
    // A hidden main window is not closed: KORU runs on in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
  }
}

TrayIcon::~TrayIcon() {
  if (window_ != nullptr) window_->removeEventFilter(this);
  QCoreApplication::instance()->removeEventFilter(this);
  if (shown_) QApplication::setQuitOnLastWindowClosed(true);
}

QIcon TrayIcon::AppIcon() {
  return DeferredIcon([] { return QIcon(":/koru/org.koru.KORU.png"); });
}

void TrayIcon::SetReceiverState(const std::string& port, bool open) {
  port_ = port;
  port_open_ = open;
  Update();
}

void TrayIcon::SetLastKey(const std::string& remote, const std::string& key) {
  last_key_ = remote.empty() ? key : remote + " " + key;
  Update();
}

void TrayIcon::Update() {
  std::string tip = "KORU\n";
  tip += port_open_ ? "receiver: " + port_ + " open" : "receiver: no port";
  if (!last_key_.empty()) tip += "\nlast key: " + last_key_;
  icon_.setToolTip(QString::fromStdString(tip));
  // Greyed out while no receiver listens; an icon the tray does not show is not drawn.
  if (!shown_ || port_open_) {
    icon_.setIcon(app_icon_);
  } else {
    icon_.setIcon(QIcon(app_icon_.pixmap(48, 48, QIcon::Disabled)));
  }
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
  if (watched == QCoreApplication::instance() && event->type() == QEvent::Quit) {
    quitting_ = true;
    // Still running afterwards: another window refused, and closing goes to the tray again.
    QTimer::singleShot(0, this, [this] { quitting_ = false; });
    return false;
  }
  if (watched == window_ && event->type() == QEvent::Close && shown_ && close_to_tray_ &&
      !quitting_) {
    window_->hide();
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace koru
