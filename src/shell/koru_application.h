#pragma once
// The application object: owns the main window and relays messages between the windows.
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>

#include "platform/messaging/message.h"
#include "presets/preset_editor_controls.h"
#include "shell/window_setup.h"
#include "virtual_remote/virtual_remote_window.h"

namespace koru {

class MainWindow;
class MediaListWindow;
class Prefs;

class KoruApplication : public Handler {
 public:
  explicit KoruApplication(WindowSetup setup = {});
  ~KoruApplication() override;

  void MessageReceived(Message* message) override;

  MainWindow* GetMainWindow() const { return main_window_; }
  // The settings store of the setup (may be null).
  Prefs* Settings() const { return settings_; }
  // The open preset editor, or nullptr.
  PresetEditorControls* PresetEditor() const;
  // The media list window while it is open ('MW_O' opens it, 'MW_C' closes it).
  MediaListWindow* MediaWindow() const { return media_window_; }
  // Sees each receiver message after the main window has handled it (the tray icon).
  void SetReceiverObserver(std::function<void(const Message&)> observer) {
    receiver_observer_ = std::move(observer);
  }
  // The open virtual remote window, or null.
  VirtualRemoteWindow* VirtualRemote() const { return virtual_remote_; }

 private:
  Prefs* const settings_;
  const std::filesystem::path remote_folder_;
  MainWindow* main_window_ = nullptr;
  PresetEditorControls* preset_editor_ = nullptr;
  // Cleared when the editor is deleted, before its 'PR_Q' arrives.
  Messenger preset_editor_link_;
  void* spare_window_ = nullptr;
  std::function<void(const Message&)> receiver_observer_;

  // The virtual remote: opened on 'VR_O', fed 'VR_H', 'VR_M' and 'RUBR', forgotten on 'VR_Q'.
  bool VirtualRemoteMessage(Message* message);
  QPointer<VirtualRemoteWindow> virtual_remote_;
  // The media list: opened on 'MW_O', closed on 'MW_C', fed 'MWse' and 'MWkT'.
  bool MediaListMessage(Message* message);
  MediaListWindow* media_window_ = nullptr;
};

}  // namespace koru
