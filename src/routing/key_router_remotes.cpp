// The router's remote library: loading and classifying the remote files at start-up,
// rescanning after a teach-in, and the code chart.
#include "platform/messaging/trace.h"
#include "routing/key_router.h"

void KeyRouter::LoadRemoteLibrary() {
  fTeachRemote = std::make_unique<RemoteDefinition>();
  const int32_t count = fTeachRemote->LoadRemoteLibrary(&fRemoteList);
  Trace(" 'got %ld RemotesFiles'\n", static_cast<long>(count));
  Trace(" validate..\n");
  long counts[3] = {0, 0, 0};
  for (const auto& record : fRemoteList) {
    if (record == nullptr) continue;
    const int32_t origin = RemoteDefinition::CheckCrossPresetFile(record.get());
    if (origin >= 0 && origin <= 2) ++counts[origin];
  }
  Trace("Org.:%ld Mod.:%ld Usr.:%ld\n", counts[0], counts[1], counts[2]);
  Trace(" validate END\n");
  TellRemotesChanged();
}

void KeyRouter::ReleaseRemoteLibrary() {
  std::fill(std::begin(fGroupRemote), std::end(fGroupRemote), nullptr);
  fRemoteList.clear();
  fTeachRemote.reset();
}

void KeyRouter::RescanRemotes() {
  // The group references point into the list: cleared first, restored by name afterwards.
  std::fill(std::begin(fGroupRemote), std::end(fGroupRemote), nullptr);
  fTeachRemote->LookForRemotes(&fRemoteList);
  ReloadRemoteMenu(0);
  ResetRemSplit();
  TellRemotesChanged();
}

void KeyRouter::TellRemotesChanged() {
  if (fLinks.keys != nullptr) fLinks.keys->RemotesChanged(fRemoteList);
}

void KeyRouter::WriteCodeChart() {
  if (fTeachRemote == nullptr) return;
  const status_t status = fTeachRemote->ChartData4Remotes(&fRemoteList);
  const std::string path = (RemoteDefinition::Folder() / "_ChartData.html").string();
  fView.InsertLog(status == kOk ? "code chart: " + path + "\n"
                                : "code chart not written: " + StatusText(status) + "\n");
}
