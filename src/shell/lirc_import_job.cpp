#include "shell/lirc_import_job.h"

#include <QProgressDialog>
#include <QWidget>

namespace koru {

LircImportJob::LircImportJob(QWidget* window, std::vector<std::string> files,
                             std::filesystem::path remote_folder, Finish finish, bool keymaps)
    : QObject(window),
      progress_(
          new QProgressDialog(keymaps ? "Importing kernel keymaps..." : "Importing LIRC remotes...",
                              QString(), 0, static_cast<int>(files.size()), window)) {
  progress_->setObjectName("LircImportProgress");
  progress_->setWindowTitle(keymaps ? "Import kernel keymap" : "Import LIRC remote");
  progress_->setMinimumDuration(500);  // a quick import shows no dialog at all
  progress_->setValue(0);
  thread_ = std::thread([this, files = std::move(files), folder = std::move(remote_folder),
                         finish = std::move(finish), keymaps] {
    KeyRouter::LircImportWork work = KeyRouter::WorkLircImport(
        files, folder,
        [this](size_t done) {
          QMetaObject::invokeMethod(
              this, [this, done] { progress_->setValue(static_cast<int>(done)); },
              Qt::QueuedConnection);
        },
        keymaps);
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work), finish] {
          progress_->close();
          progress_->deleteLater();
          finish(work);
          deleteLater();
        },
        Qt::QueuedConnection);
  });
}

LircImportJob::~LircImportJob() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace koru
