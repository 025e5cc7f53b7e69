// The main window's remote library: loading and classifying the remote files at start-up,
// rescanning after a teach-in, and the charts.
#include <QMenuBar>

#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/window_workspaces.h"
#include "shell/menu_field.h"
#include "shell/message_action.h"
#include "shell/prefs.h"
#include "shell/rc_window.h"

void RcWindow::LoadRemoteLibrary() {
  RemoteCL::SetFolder(ProgramFolder() / "_Remotes_");
  fTeachRemote = std::make_unique<RemoteCL>();
  const int32_t count = fTeachRemote->LoadRemoteLibrary(&fRemoteList);
  Trace(" 'got %ld RemotesFiles'\n", static_cast<long>(count));
  Trace(" validate..\n");
  long counts[3] = {0, 0, 0};
  for (const auto& record : fRemoteList) {
    if (record == nullptr) continue;
    const int32_t origin = fTeachRemote->CheckCrossPresetFile(record->fName, &fRemoteList);
    if (origin >= 0 && origin <= 2) ++counts[origin];
  }
  Trace("Org.:%ld Mod.:%ld Usr.:%ld\n", counts[0], counts[1], counts[2]);
  Trace(" validate END\n");
}

void RcWindow::ReleaseRemoteLibrary() {
  std::fill(std::begin(fGroupRemote), std::end(fGroupRemote), nullptr);
  fRemoteList.clear();
  fTeachRemote.reset();
}

void RcWindow::RescanRemotes() {
  // The group references point into the list: cleared first, restored by name afterwards.
  std::fill(std::begin(fGroupRemote), std::end(fGroupRemote), nullptr);
  fTeachRemote->LookForRemotes(&fRemoteList);
  ReloadRemoteMenu(fRemoteField->Menu(), 0, fRemoteField);
  ResetRemSplit();
}

void RcWindow::WriteCodeChart() {
  if (fTeachRemote == nullptr) return;
  const status_t status = fTeachRemote->ChartData4Remotes(&fRemoteList);
  const std::string path = (RemoteCL::Folder() / "_ChartData.html").string();
  InsertLog(QString::fromStdString(status == kOk
                                       ? "code chart: " + path + "\n"
                                       : "code chart not written: " + StatusText(status) + "\n"));
}

void RcWindow::ApplyWorkspaceMode() {
  const bool all = fSettings != nullptr && fSettings->all_workspaces;
  if (!SetWindowOnAllWorkspaces(static_cast<uintptr_t>(winId()), all)) {
    Trace("all workspaces: no window manager to ask (%s)\n", all ? "on" : "off");
  }
}
