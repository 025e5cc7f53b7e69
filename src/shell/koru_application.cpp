#include "shell/koru_application.h"

#include <QApplication>

#include "media_list/media_list_messages.h"
#include "media_list/media_list_window.h"
#include "platform/desktop/desktop_messages.h"
#include "platform/messaging/trace.h"
#include "presets/preset_editor_window.h"
#include "presets/preset_messages.h"
#include "receiver/receiver_messages.h"
#include "routing/routing_messages.h"
#include "settings/prefs.h"
#include "shell/application_messages.h"
#include "shell/bring_to_front.h"
#include "shell/main_window.h"
#include "virtual_remote/virtual_remote_messages.h"
#include "virtual_remote/virtual_remote_window.h"

KoruApplication::KoruApplication(WindowSetup setup) : fSettings(setup.settings) {
  SetAppMessenger(GetMessenger());
  fMainWindow = new MainWindow(Rect{60, 100, 760, 270}, std::move(setup));
  fMainWindow->show();
  fEditorFactory = [this] { return new PresetEditorWindow(Rect{40, 40, 640, 355}, fSettings); };
}

KoruApplication::~KoruApplication() {
  // The media list saves itself and still tells the main window it has gone.
  delete fMediaWindow;
  // An editor still open when the program ends closes without asking.
  if (auto* editor = dynamic_cast<QWidget*>(PresetEditor())) delete editor;
  delete fVirtualRemote;  // writes its layout when a button moved
  delete fMainWindow;
  fMainWindow = nullptr;
  SetAppMessenger(Messenger());
}

PresetEditorControls* KoruApplication::PresetEditor() const {
  return fPresetEditorLink.IsValid() ? fPresetEditor : nullptr;
}

bool KoruApplication::VirtualRemoteMessage(Message* message) {
  switch (message->what) {
    case kOpenVirtualRemote:
      if (fVirtualRemote != nullptr) {
        fVirtualRemote->raise();
        fVirtualRemote->activateWindow();
      } else {
        fVirtualRemote = new VirtualRemoteWindow(
            fSettings != nullptr ? fSettings->vr_window_rect : Rect{40, 40, 600, 600}, fSettings,
            fMainWindow);
      }
      return true;
    case kHighlightButton:
    case kMarkRemotesButton:
      if (fVirtualRemote != nullptr) fVirtualRemote->MessageReceived(message);
      return true;
    case kVirtualRemoteClosed:
      fVirtualRemote = nullptr;
      return true;
    case kMainWindowToFront:
      // The Super keys in the virtual remote bring the main window to the front.
      if (fMainWindow != nullptr) BringToFront(fMainWindow);
      return true;
    case kClearShownKey:
      if (fVirtualRemote != nullptr) fVirtualRemote->MessageReceived(message);
      return false;  // the main window gets it too
    default:
      return false;
  }
}

// The media list window: opened on 'MW_O' (one at a time), closed on 'MW_C'; its 'MW_Q' ends the
// main window's media list mode and frees the "Open" item again.
bool KoruApplication::MediaListMessage(Message* message) {
  switch (message->what) {
    case kOpenMediaList:
      if (fMediaWindow == nullptr && fMainWindow != nullptr) {
        MainWindow* main = fMainWindow;
        fMediaWindow = new MediaListWindow(
            fSettings, [main](ActionThread::Action action) { main->RunAction(std::move(action)); });
        QObject::connect(fMediaWindow, &QObject::destroyed, [this] { fMediaWindow = nullptr; });
        fMediaWindow->show();
      }
      if (fMediaWindow != nullptr) {
        fMediaWindow->raise();
        fMediaWindow->activateWindow();
        Message open(kMediaListOpened);
        if (fMainWindow != nullptr) fMainWindow->MessageReceived(&open);
      }
      return true;
    case kCloseMediaList:
      if (fMediaWindow != nullptr) fMediaWindow->close();
      return true;
    case kMediaListClosed:
      if (fMainWindow != nullptr && fMediaWindow == nullptr) {
        fMainWindow->MessageReceived(message);
        Message closed(kMediaListNotOpen);
        fMainWindow->MessageReceived(&closed);
      }
      return true;
    case kMediaListKey:
    case kToggleMediaTab:
      if (fMediaWindow != nullptr) fMediaWindow->GetMessenger().SendMessage(*message);
      return true;
    default:
      return false;
  }
}

void KoruApplication::MessageReceived(Message* message) {
  if (VirtualRemoteMessage(message)) return;
  if (MediaListMessage(message)) return;
  switch (message->what) {
    case kUiChanged:
      Trace("%s\n", message->Dump().c_str());
      return;
    case kOpenPresetEditor:
      if (PresetEditor() != nullptr) {
        fPresetEditor->Activate();
      } else if (fEditorFactory) {
        fPresetEditor = fEditorFactory();
        fPresetEditorLink = fPresetEditor->WindowMessenger();
      } else {
        Trace("FB_App no preset editor\n");
      }
      return;
    case kPresetLabelsChanged:
      if (PresetEditor() != nullptr) fPresetEditorLink.SendMessage(*message);
      return;
    case kPresetEditorClosed:
      fPresetEditor = nullptr;
      fPresetEditorLink = Messenger();
      return;
    case kReplyIgnored:
      return;
    case kClearShownKey:
      if (fMainWindow != nullptr) fMainWindow->MessageReceived(message);
      return;
    case kReceiverOff:
    case kDumpToTrace:
    case kReceiverEnded:
    case kReceiverPortBusy:
    case kNoReceiverPort:
    case kHysteresisToggled:
    case kReceiverPortChecked:
    case kToggleMiniView:
    case kReloadPresets:
    case kEndReceiverThread:
    case kReceiverTrace:
      if (fMainWindow != nullptr) fMainWindow->MessageReceived(message);
      if (fReceiverObserver) fReceiverObserver(*message);
      return;
    default:
      Trace("FB_App ");
      Trace("%s\n", message->Dump().c_str());
      if (message->what == kQuitRequested) {
        int32_t status = 0;
        message->FindInt32("status", &status);
        QApplication::exit(status);
      }
      return;
  }
}
