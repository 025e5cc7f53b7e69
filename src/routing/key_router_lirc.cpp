// The router's import of LIRC remotes: the receiver rests while the buttons' signals are played
// through a receiver of their own, then the remote folder is rescanned and the menus and the
// chart are rebuilt, as at the end of a teach-in. The kernel's keymaps are imported the same way.
#include "lirc/keymap_import.h"
#include "lirc/lirc_config.h"
#include "lirc/lirc_import.h"
#include "platform/messaging/trace.h"
#include "routing/key_router.h"
#include "virtual_remote/virtual_remote_messages.h"

namespace koru {

std::string KeyRouter::ImportLircFiles(const std::vector<std::string>& files) {
  const std::string refused = BeginLircImport();
  if (!refused.empty()) return refused;
  return FinishLircImport(WorkLircImport(files, links_.remote_folder));
}

std::string KeyRouter::BeginLircImport() {
  if (teaching_) return "Finish the teach-in first, then import.\n";
  if (teach_remote_ == nullptr) return "The remote library is not loaded.\n";
  if (importing_lirc_) return "An import runs already.\n";
  importing_lirc_ = true;
  lirc_import_resumes_ = view_.ReceiverContinuous();
  view_.SetReceiverContinuous(false);
  return {};
}

KeyRouter::LircImportWork KeyRouter::WorkLircImport(
    const std::vector<std::string>& files, const std::filesystem::path& remote_folder,
    const std::function<void(size_t done)>& progress, bool keymaps) {
  LircImportWork work;
  work.keymaps = keymaps;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string& file = files[i];
    std::vector<LircImportReport> reports;
    std::string error;
    bool read = false;
    if (keymaps) {
      std::vector<KernelKeymap> keymap_list;
      read = ReadKernelKeymapFile(file, &keymap_list, &error) == kOk;
      if (read) reports = ImportKernelKeymaps(keymap_list, {.folder = remote_folder});
    } else {
      std::vector<LircRemote> remotes;
      read = ReadLircConfigFile(file, &remotes, nullptr, &error) == kOk;
      if (read) reports = ImportLircRemotes(remotes, {.folder = remote_folder});
    }
    if (!read) {
      work.text += error + "\n";
    } else {
      if (reports.empty()) work.text += file + ": no remote\n";
      for (const LircImportReport& report : reports) {
        work.text += LircImportText(report);
        if (!report.file.empty()) ++work.imported;
      }
    }
    if (progress) progress(i + 1);
  }
  return work;
}

std::string KeyRouter::FinishLircImport(const LircImportWork& work) {
  importing_lirc_ = false;
  if (work.imported > 0) {
    RescanRemotes();
    teach_remote_->WriteKeysChart(&remote_list_);
    SendToApp(kMarkRemotesButton);
  }
  if (lirc_import_resumes_) view_.SetReceiverContinuous(true);
  const std::string summary = std::to_string(work.imported) +
                              (work.keymaps ? " kernel keymap" : " LIRC remote") +
                              (work.imported == 1 ? "" : "s") + " imported\n";
  view_.InsertLog(summary);
  return work.text + summary;
}

}  // namespace koru
