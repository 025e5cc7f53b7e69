#pragma once
// What makes KORU a desktop program of the session: the tray icon fed by the receiver's
// reports, the window brought to the front when KORU is started again, and the settings
// page's "Close to tray" and "Start at login" check boxes.
//
//   KoruApplication app;
//   SessionShell session(&app, QSystemTrayIcon::isSystemTrayAvailable(), program_path);
//   instance.SetShowRequest([&](const std::string& token) { session.ShowMainWindow(token); });
#include <QMetaObject>
#include <memory>
#include <string>
#include <vector>

#include "shell/autostart_entry.h"
#include "shell/tray_icon.h"

class QWidget;

namespace koru {

class KoruApplication;
class Message;

class SessionShell {
 public:
  // `program` is the path the autostart entry starts, with `arguments`.
  SessionShell(KoruApplication* app, bool tray_available, const std::string& program,
               std::vector<std::string> arguments = {});
  ~SessionShell();
  SessionShell(const SessionShell&) = delete;
  SessionShell& operator=(const SessionShell&) = delete;

  // `activation_token`: the one a later start was given, for the Wayland compositor.
  void ShowMainWindow(const std::string& activation_token = {});
  TrayIcon* Tray() { return &tray_; }

  // The settings page's two check boxes ("closeTray", "autoStart").
  void AddSettings(QWidget* page);

 private:
  void ReceiverReport();
  void UpdatePortState();

  KoruApplication* app_;
  TrayIcon tray_;
  AutostartEntry autostart_;
  // A port chosen on the settings page opens without a report: the receiver view says so.
  QMetaObject::Connection port_watch_;
};

}  // namespace koru
