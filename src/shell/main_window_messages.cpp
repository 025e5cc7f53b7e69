// The main window's message handler: the codes of the shell itself; the routing, the teach-in
// and the receiver view take theirs.
#include <QCheckBox>

#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/trace.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/main_window.h"

void MainWindow::MessageReceived(Message* message) {
  if (fRouter.HandleMessage(message)) return;
  if (HandleReceiverMessage(message)) return;
  switch (message->what) {
    case kToggleMiniView:
      ChangeMiniview();
      return;
    case kShowSettings:
      AddSettingsView();
      return;
    case kImportLircRemote:
      ImportLircRemote();
      return;
    case kImportKernelKeymap:
      ImportKernelKeymap();
      return;
    case kAboutRequested:
      AboutRequested();
      return;
    case kQuitRequested:
      QuitRequested();
      return;
    case kMediaListOpened:
    case kMediaListNotOpen:
      ShowMediaListState(message);
      return;
    case kColorsToggled:
      fColoredDesign = !fColoredDesign;
      UseColoredDesign();
      if (fSettings != nullptr) fSettings->use_pimped = fColoredDesign;
      return;
    case kSystemSoundToggled:
      if (fSettings != nullptr) fSettings->use_systemsound = !fSettings->use_systemsound;
      return;
    case kKeyDown:
    case kKeyUp:
    case kUnmappedKeyDown:
    case kUnmappedKeyUp:
    case kKeyDownEvent:
    case kMouseUp:
    case kMouseMoved:
    case kModifiersChanged:
    case kMouseWheelChanged:
    case kPulseEvent:
    case kDragPassed:
      return;  // input events of other windows: consumed
    case kDumpToTrace:
      Trace("%s\n", message->Dump().c_str());
      return;
    default:
      Trace("RcWindow::MessageReceived\n");
      return;
  }
}
