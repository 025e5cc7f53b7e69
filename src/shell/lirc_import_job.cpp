#include "shell/lirc_import_job.h"

#include <QProgressDialog>
#include <QWidget>

LircImportJob::LircImportJob(QWidget* window, std::vector<std::string> files, Finish finish,
                             bool keymaps)
    : QObject(window),
      fProgress(
          new QProgressDialog(keymaps ? "Importing kernel keymaps..." : "Importing LIRC remotes...",
                              QString(), 0, static_cast<int>(files.size()), window)) {
  fProgress->setObjectName("LircImportProgress");
  fProgress->setWindowTitle(keymaps ? "Import kernel keymap" : "Import LIRC remote");
  fProgress->setMinimumDuration(500);  // a quick import shows no dialog at all
  fProgress->setValue(0);
  fThread = std::thread([this, files = std::move(files), finish = std::move(finish), keymaps] {
    KeyRouter::LircImportWork work = KeyRouter::WorkLircImport(
        files,
        [this](size_t done) {
          QMetaObject::invokeMethod(
              this, [this, done] { fProgress->setValue(static_cast<int>(done)); },
              Qt::QueuedConnection);
        },
        keymaps);
    QMetaObject::invokeMethod(
        this,
        [this, work = std::move(work), finish] {
          fProgress->close();
          fProgress->deleteLater();
          finish(work);
          deleteLater();
        },
        Qt::QueuedConnection);
  });
}

LircImportJob::~LircImportJob() {
  if (fThread.joinable()) fThread.join();
}
