// "File" > "Import LIRC remote...": the user picks LIRC configuration files (the chooser opens
// at LIRC's remote database when it is installed), the router imports them off the GUI thread
// and the report is shown in an alert. "Import kernel keymap…" does the same with the kernel's
// keymap files.
#include <QDir>
#include <QFileDialog>

#include "platform/messaging/alert.h"
#include "shell/lirc_import_job.h"
#include "shell/main_window.h"

namespace koru {

namespace {

constexpr const char* kLircDatabase = "/usr/share/lirc/remotes";
constexpr const char* kKernelKeymaps = "/lib/udev/rc_keymaps";

}  // namespace

void MainWindow::ImportLircRemote() {
  std::vector<std::string> files;
  if (lirc_chooser_) {
    files = lirc_chooser_();
  } else {
    const QString start = QDir(kLircDatabase).exists() ? kLircDatabase : QDir::homePath();
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, "Import LIRC remote", start,
        "LIRC configurations (*.conf lircd.conf* *.lircd.conf);;All files (*)");
    for (const QString& file : chosen) files.push_back(file.toStdString());
  }
  StartImport(std::move(files), false);
}

void MainWindow::ImportKernelKeymap() {
  std::vector<std::string> files;
  if (lirc_chooser_) {
    files = lirc_chooser_();
  } else {
    const QString start = QDir(kKernelKeymaps).exists() ? kKernelKeymaps : QDir::homePath();
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, "Import kernel keymap", start, "Kernel keymaps (*.toml);;All files (*)");
    for (const QString& file : chosen) files.push_back(file.toStdString());
  }
  StartImport(std::move(files), true);
}

void MainWindow::StartImport(std::vector<std::string> files, bool keymaps) {
  if (files.empty()) return;
  const std::string refused = router_.BeginLircImport();
  if (!refused.empty()) {
    AnyAlert(refused, false);
    return;
  }
  new LircImportJob(
      this, std::move(files), setup_.remote_folder,
      [this](const KeyRouter::LircImportWork& work) {
        AnyAlert(router_.FinishLircImport(work), false);
      },
      keymaps);
}

}  // namespace koru
