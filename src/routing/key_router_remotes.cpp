// The router's remote library: loading and classifying the remote files at start-up,
// rescanning after a teach-in, and the code chart.
#include "platform/messaging/trace.h"
#include "routing/key_router.h"

namespace koru {

void KeyRouter::LoadRemoteLibrary() {
  teach_remote_ = std::make_unique<RemoteDefinition>(links_.remote_folder);
  const int32_t count = teach_remote_->LoadRemoteLibrary(&remote_list_);
  Trace(" 'got %ld RemotesFiles'\n", static_cast<long>(count));
  Trace(" validate..\n");
  long counts[3] = {0, 0, 0};
  for (const auto& record : remote_list_) {
    if (record == nullptr) continue;
    const int32_t origin = RemoteDefinition::UpdateOriginKind(record.get());
    if (origin >= 0 && origin <= 2) ++counts[origin];
  }
  Trace("Org.:%ld Mod.:%ld Usr.:%ld\n", counts[0], counts[1], counts[2]);
  Trace(" validate END\n");
  TellRemotesChanged();
}

void KeyRouter::ReleaseRemoteLibrary() {
  std::fill(std::begin(group_remote_), std::end(group_remote_), nullptr);
  remote_list_.clear();
  teach_remote_.reset();
}

void KeyRouter::RescanRemotes() {
  // The group references point into the list: cleared first, restored by name afterwards.
  std::fill(std::begin(group_remote_), std::end(group_remote_), nullptr);
  teach_remote_->LookForRemotes(&remote_list_);
  ReloadRemoteMenu(0);
  ResetRemSplit();
  TellRemotesChanged();
}

void KeyRouter::TellRemotesChanged() {
  if (links_.keys != nullptr) links_.keys->RemotesChanged(remote_list_);
}

void KeyRouter::WriteCodeChart() {
  if (teach_remote_ == nullptr) return;
  const status_t status = teach_remote_->WriteCodesChart(&remote_list_);
  const std::string path = (links_.remote_folder / "_ChartData.html").string();
  view_.InsertLog(status == kOk ? "code chart: " + path + "\n"
                                : "code chart not written: " + StatusText(status) + "\n");
}

}  // namespace koru
