// The main window's message handler: the codes of the shell itself; the routing, the teach-in
// and the receiver view take theirs.
#include <QCheckBox>

#include "media_list/media_list_messages.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/trace.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/main_window.h"

namespace koru {

void MainWindow::MessageReceived(Message* message) {
  if (router_.HandleMessage(message)) return;
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
      colored_design_ = !colored_design_;
      UseColoredDesign();
      if (settings_ != nullptr) settings_->use_pimped = colored_design_;
      return;
    case kSystemSoundToggled:
      if (settings_ != nullptr) settings_->use_systemsound = !settings_->use_systemsound;
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

}  // namespace koru
