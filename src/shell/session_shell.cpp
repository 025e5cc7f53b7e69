#include "shell/session_shell.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>

#include "platform/files/paths.h"
#include "platform/lines/receiver_port.h"
#include "platform/messaging/message.h"
#include "receiver/receiver_session.h"
#include "settings/prefs.h"
#include "shell/bring_to_front.h"
#include "shell/koru_application.h"
#include "shell/main_window.h"
#include "shell/settings_page_extension.h"

namespace koru {

namespace {

constexpr const char* kCloseToTrayKey = "close_to_tray";

std::string LabelText(QWidget* window, const char* name) {
  auto* label = window ? window->findChild<QLabel*>(name) : nullptr;
  return label ? label->text().toStdString() : std::string();
}

}  // namespace

SessionShell::SessionShell(KoruApplication* app, bool tray_available, const std::string& program,
                           std::vector<std::string> arguments)
    : app_(app),
      tray_(app->GetMainWindow(), tray_available),
      autostart_(SettingsFolder(), program, std::move(arguments)) {
  QApplication::setWindowIcon(TrayIcon::AppIcon());
  if (Prefs* prefs = app_->Settings()) {
    bool close_to_tray = true;
    prefs->GetBool(kCloseToTrayKey, &close_to_tray, true);
    tray_.SetCloseToTray(close_to_tray);
  }
  app_->SetReceiverObserver([this](const Message&) { UpdatePortState(); });
  SetSettingsPageExtension([this](QWidget* page) { AddSettings(page); });
  UpdatePortState();
  MainWindow* window = app_->GetMainWindow();
  if (window != nullptr && window->Receiver() != nullptr) {
    port_watch_ = QObject::connect(window->Receiver(), &ReceiverSession::PortChanged,
                                   window->Receiver(), [this] { UpdatePortState(); });
  }
  if (window != nullptr)
    window->SetReportObserver([this](const koru::ReceiverReport&) { ReceiverReport(); });
}

SessionShell::~SessionShell() {
  QObject::disconnect(port_watch_);
  SetSettingsPageExtension(nullptr);
  app_->SetReceiverObserver(nullptr);
  if (MainWindow* window = app_->GetMainWindow()) window->SetReportObserver(nullptr);
}

void SessionShell::ShowMainWindow(const std::string& activation_token) {
  BringToFront(app_->GetMainWindow(), activation_token);
}

void SessionShell::ReceiverReport() {
  UpdatePortState();
  // What the main window made of the code: its result box names the remote and the key.
  MainWindow* window = app_->GetMainWindow();
  tray_.SetLastKey(LabelText(window, "irSender"), LabelText(window, "irSenKey"));
}

void SessionShell::UpdatePortState() {
  MainWindow* window = app_->GetMainWindow();
  ReceiverPort* port = window && window->Receiver() ? window->Receiver()->Port() : nullptr;
  tray_.SetReceiverState(port ? port->Name() : std::string(), port != nullptr);
}

void SessionShell::AddSettings(QWidget* page) {
  auto* close = new QCheckBox("Close to tray", page);
  close->setObjectName("closeTray");
  close->setToolTip("Closing the window leaves KORU running in the tray");
  close->setChecked(tray_.CloseToTray());
  close->setEnabled(tray_.Shown());  // without a tray, closing always ends KORU
  close->setGeometry(260, 70, 250, 18);
  QObject::connect(close, &QCheckBox::toggled, close, [this](bool on) {
    tray_.SetCloseToTray(on);
    if (Prefs* prefs = app_->Settings()) prefs->PutBool(kCloseToTrayKey, on);
  });

  auto* login = new QCheckBox("Start at login", page);
  login->setObjectName("autoStart");
  login->setToolTip(QString::fromStdString(autostart_.Path().string()));
  login->setChecked(autostart_.Enabled());
  login->setGeometry(260, 89, 250, 18);

  // What the desktop lets KORU do; where something is missing, a link to why and what would
  // enable it.
  DesktopReport desktop =
      app_->GetMainWindow() ? app_->GetMainWindow()->DesktopState() : DesktopReport{};
  if (!desktop.session.empty()) {
    QString text = QString::fromStdString(desktop.Summary()).toHtmlEscaped().replace("\n", "<br>");
    if (!desktop.Complete()) text += "<br><a href=\"details\">What would enable it…</a>";
    auto* state = new QLabel(text, page);
    state->setObjectName("desktopState");
    const QString details = QString::fromStdString(desktop.Details());
    state->setToolTip(details);
    state->setWordWrap(true);
    state->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    state->setTextInteractionFlags(Qt::TextBrowserInteraction);
    state->setProperty(kFollowsSwitches, true);
    QObject::connect(state, &QLabel::linkActivated, state, [page, details] {
      auto* box = new QMessageBox(QMessageBox::Information, "KORU", details, QMessageBox::Ok, page);
      box->setObjectName("desktopDetails");
      box->setAttribute(Qt::WA_DeleteOnClose);
      box->show();
    });
  }
  QObject::connect(login, &QCheckBox::toggled, login, [this, login](bool on) {
    autostart_.SetEnabled(on);
    // Shows what is on disk, also when writing failed.
    const QSignalBlocker quiet(login);
    login->setChecked(autostart_.Enabled());
  });
}

}  // namespace koru
