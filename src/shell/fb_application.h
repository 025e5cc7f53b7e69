#pragma once
// The application object: owns the main window and relays messages between the windows.
#include <QPointer>
#include <functional>
#include <memory>

#include "platform/messaging/message.h"
#include "presets/preset_editor_controls.h"
#include "shell/window_setup.h"
#include "virtual_remote/vr_window.h"

class RcWindow;
class MEDIA_Window;
class Prefs;

class FbApplication : public Handler {
 public:
  explicit FbApplication(WindowSetup setup = {});
  ~FbApplication() override;

  void MessageReceived(Message* message) override;

  RcWindow* MainWindow() const { return fMainWindow; }
  // The settings store of the setup (may be null).
  Prefs* Settings() const { return fSettings; }
  // Makes the preset editor for 'PR_O' (by default the preset editor window at 40, 40).
  void SetPresetEditorFactory(std::function<PresetEditorWindow*()> factory) {
    fEditorFactory = std::move(factory);
  }
  // The open preset editor, or nullptr.
  PresetEditorWindow* PresetEditor() const;
  // The media list window while it is open ('MW_O' opens it, 'MW_C' closes it).
  MEDIA_Window* MediaWindow() const { return fMediaWindow; }
  // Sees each receiver message after the main window has handled it (the tray icon).
  void SetReceiverObserver(std::function<void(const Message&)> observer) {
    fReceiverObserver = std::move(observer);
  }
  // The open virtual remote window, or null.
  VR_Window* VirtualRemote() const { return fVirtualRemote; }

 private:
  Prefs* const fSettings;
  RcWindow* fMainWindow = nullptr;
  PresetEditorWindow* fPresetEditor = nullptr;
  // Cleared when the editor is deleted, before its 'PR_Q' arrives.
  Messenger fPresetEditorLink;
  void* fSpareWindow = nullptr;
  std::function<PresetEditorWindow*()> fEditorFactory;
  std::function<void(const Message&)> fReceiverObserver;

  // The virtual remote: opened on 'VR_O', fed 'VR_H', 'VR_M' and 'RUBR', forgotten on 'VR_Q'.
  bool VirtualRemoteMessage(Message* message);
  QPointer<VR_Window> fVirtualRemote;
  // The media list: opened on 'MW_O', closed on 'MW_C', fed 'MWse' and 'MWkT'.
  bool MediaListMessage(Message* message);
  MEDIA_Window* fMediaWindow = nullptr;
};
