// The router's import of LIRC remotes: the receiver rests while the buttons' signals are played
// through a receiver of their own, then the remote folder is rescanned and the menus and the
// chart are rebuilt, as at the end of a teach-in.
#include "lirc/lirc_config.h"
#include "lirc/lirc_import.h"
#include "platform/messaging/trace.h"
#include "routing/key_router.h"

std::string KeyRouter::ImportLircFiles(const std::vector<std::string>& files) {
  if (fTeaching) return "Finish the teach-in first, then import.\n";
  if (fTeachRemote == nullptr) return "The remote library is not loaded.\n";
  const bool was_running = fView.ReceiverContinuous();
  fView.SetReceiverContinuous(false);
  std::string text;
  int32_t imported = 0;
  for (const std::string& file : files) {
    std::vector<LircRemote> remotes;
    std::string error;
    if (ReadLircConfigFile(file, &remotes, nullptr, &error) != kOk) {
      text += error + "\n";
      continue;
    }
    if (remotes.empty()) text += file + ": no remote\n";
    for (const LircImportReport& report : ImportLircRemotes(remotes, {})) {
      text += LircImportText(report);
      if (!report.file.empty()) ++imported;
    }
  }
  if (imported > 0) {
    RescanRemotes();
    fTeachRemote->Chart4Remotes(&fRemoteList);
    SendToApp(FourCC("VR_M"));
  }
  if (was_running) fView.SetReceiverContinuous(true);
  const std::string summary =
      std::to_string(imported) + " LIRC remote" + (imported == 1 ? "" : "s") + " imported\n";
  fView.InsertLog(summary);
  return text + summary;
}
