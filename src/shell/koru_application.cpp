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

namespace koru {

KoruApplication::KoruApplication(WindowSetup setup)
    : settings_(setup.settings), remote_folder_(setup.remote_folder) {
  SetAppMessenger(GetMessenger());
  main_window_ = new MainWindow(Rect{60, 100, 760, 270}, std::move(setup));
  main_window_->show();
}

KoruApplication::~KoruApplication() {
  // The media list saves itself and still tells the main window it has gone.
  delete media_window_;
  // An editor still open when the program ends closes without asking.
  if (auto* editor = dynamic_cast<QWidget*>(PresetEditor())) delete editor;
  delete virtual_remote_;  // writes its layout when a button moved
  delete main_window_;
  main_window_ = nullptr;
  SetAppMessenger(Messenger());
}

PresetEditorControls* KoruApplication::PresetEditor() const {
  return preset_editor_link_.IsValid() ? preset_editor_ : nullptr;
}

bool KoruApplication::VirtualRemoteMessage(Message* message) {
  switch (message->what) {
    case kOpenVirtualRemote:
      if (virtual_remote_ != nullptr) {
        virtual_remote_->raise();
        virtual_remote_->activateWindow();
      } else {
        virtual_remote_ = new VirtualRemoteWindow(
            settings_ != nullptr ? settings_->vr_window_rect : Rect{40, 40, 600, 600}, settings_,
            remote_folder_, main_window_);
      }
      return true;
    case kHighlightButton:
    case kMarkRemotesButton:
      if (virtual_remote_ != nullptr) virtual_remote_->MessageReceived(message);
      return true;
    case kVirtualRemoteClosed:
      virtual_remote_ = nullptr;
      return true;
    case kMainWindowToFront:
      // The Super keys in the virtual remote bring the main window to the front.
      if (main_window_ != nullptr) BringToFront(main_window_);
      return true;
    case kClearShownKey:
      if (virtual_remote_ != nullptr) virtual_remote_->MessageReceived(message);
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
      if (media_window_ == nullptr && main_window_ != nullptr) {
        MainWindow* main = main_window_;
        media_window_ = new MediaListWindow(
            settings_, [main](ActionThread::Action action) { main->RunAction(std::move(action)); });
        QObject::connect(media_window_, &QObject::destroyed, [this] { media_window_ = nullptr; });
        media_window_->show();
      }
      if (media_window_ != nullptr) {
        media_window_->raise();
        media_window_->activateWindow();
        Message open(kMediaListOpened);
        if (main_window_ != nullptr) main_window_->MessageReceived(&open);
      }
      return true;
    case kCloseMediaList:
      if (media_window_ != nullptr) media_window_->close();
      return true;
    case kMediaListClosed:
      if (main_window_ != nullptr && media_window_ == nullptr) {
        main_window_->MessageReceived(message);
        Message closed(kMediaListNotOpen);
        main_window_->MessageReceived(&closed);
      }
      return true;
    case kMediaListKey:
    case kToggleMediaTab:
      if (media_window_ != nullptr) media_window_->GetMessenger().SendMessage(*message);
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
        preset_editor_->Activate();
      } else {
        preset_editor_ = new PresetEditorWindow(Rect{40, 40, 640, 355}, settings_, remote_folder_);
        preset_editor_link_ = preset_editor_->WindowMessenger();
      }
      return;
    case kPresetLabelsChanged:
      if (PresetEditor() != nullptr) preset_editor_link_.SendMessage(*message);
      return;
    case kPresetEditorClosed:
      preset_editor_ = nullptr;
      preset_editor_link_ = Messenger();
      return;
    case kReplyIgnored:
      return;
    case kClearShownKey:
      if (main_window_ != nullptr) main_window_->MessageReceived(message);
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
      if (main_window_ != nullptr) main_window_->MessageReceived(message);
      if (receiver_observer_) receiver_observer_(*message);
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

}  // namespace koru
