#pragma once
// "File" > "Import LIRC remote..." away from the GUI thread: the files are read and the remote
// files written on a thread of the job's own while a progress dialog counts the files, so the
// window never freezes (a large file, a slow disk); the end runs back on the GUI thread. The
// job is a child of the window and removes itself when done; a window closed meanwhile waits
// for the file being written.
//
//   if (router_.BeginLircImport().empty())
//     new LircImportJob(this, files, remote_folder,
//                       [this](const KeyRouter::LircImportWork& work) { ... });
#include <QObject>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "routing/key_router.h"

class QProgressDialog;
class QWidget;

namespace koru {

class LircImportJob : public QObject {
 public:
  using Finish = std::function<void(const KeyRouter::LircImportWork& work)>;

  // The remote files go to `remote_folder`; `keymaps`: the files are the kernel's keymaps.
  LircImportJob(QWidget* window, std::vector<std::string> files,
                std::filesystem::path remote_folder, Finish finish, bool keymaps = false);
  ~LircImportJob() override;

 private:
  QProgressDialog* progress_;
  std::thread thread_;
};

}  // namespace koru
