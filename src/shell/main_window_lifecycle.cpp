// Start-up environment, quitting and tear-down of the main window.

#include <QCloseEvent>
#include <filesystem>

#include "platform/desktop/desktop_messages.h"
#include "platform/files/paths.h"
#include "platform/messaging/trace.h"
#include "receiver/receiver_messages.h"
#include "receiver/view/pulse_view.h"
#include "settings/prefs.h"
#include "shell/main_window.h"
#include "shell/window_indicators.h"

namespace koru {

void MainWindow::PrepareProgramFolders() {
  const std::filesystem::path program = ProgramFolder();
  std::error_code error;
  std::filesystem::create_directories(program, error);
  for (const std::filesystem::path& folder :
       {setup_.remote_folder, program / "Language", program / "Language/Dictionaries"}) {
    if (std::filesystem::is_directory(folder, error)) {
      Trace(">> OK: %s\n", folder.c_str());
      continue;
    }
    std::filesystem::create_directory(folder, error);
    std::filesystem::permissions(folder, std::filesystem::perms(0755),
                                 std::filesystem::perm_options::replace, error);
    Trace(">> build: %s\n", folder.c_str());
  }
  language_folder_ = (program / "Language").string();
  TraceRemoteFolder(setup_.remote_folder);
  router_.LoadRemoteLibrary();
}

bool MainWindow::QuitRequested() {
  AppMessenger().SendMessage(kQuitRequested);
  return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (QuitRequested()) event->accept();
}

void MainWindow::SetPulseRate(bigtime_t rate) {
  // Set at every report: the key it shows is cleared by a later pulse.
  pulse_rate_ = rate;
  if (pulse_view_ != nullptr) pulse_view_->ReportShown();
  PlanPulse();
}

MainWindow::~MainWindow() {
  pulse_.stop();
  ShutdownActions();
  // The receiver stops before the views and remotes go: no report may reach a half-torn window.
  ReceiverUnusable();
  Message end_thread(kEndReceiverThread);
  MessageReceived(&end_thread);
  router_.ReleaseRemoteLibrary();
  if (settings_ != nullptr) {
    if (!MiniViewShowing()) {
      StoreFrame();
    } else {
      Trace("Winrect not saved \n");
    }
  }
  delete sett_view_;
  sett_view_ = nullptr;
  DetachHandler();
}

}  // namespace koru
