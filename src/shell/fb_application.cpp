#include "shell/fb_application.h"

#include <QApplication>

#include "platform/trace.h"
#include "presets/pr_window.h"
#include "shell/rc_window.h"

FbApplication::FbApplication() {
  SetAppMessenger(GetMessenger());
  fMainWindow = new RcWindow(Rect{60, 100, 760, 270});
  fMainWindow->show();
  fEditorFactory = [] { return new PR_Window(Rect{40, 40, 640, 355}); };
}

FbApplication::~FbApplication() {
  // An editor still open when the program ends closes without asking.
  if (auto* editor = dynamic_cast<QWidget*>(PresetEditor())) delete editor;
  delete fMainWindow;
  fMainWindow = nullptr;
  SetAppMessenger(Messenger());
}

PresetEditorWindow* FbApplication::PresetEditor() const {
  return fPresetEditorLink.IsValid() ? fPresetEditor : nullptr;
}

void FbApplication::MessageReceived(Message* message) {
  switch (message->what) {
    case FourCC("_UIC"):
      Trace("%s\n", message->Dump().c_str());
      return;
    case FourCC("PR_O"):
      if (PresetEditor() != nullptr) {
        fPresetEditor->Activate();
      } else if (fEditorFactory) {
        fPresetEditor = fEditorFactory();
        fPresetEditorLink = fPresetEditor->WindowMessenger();
      } else {
        Trace("FB_App no preset editor\n");
      }
      return;
    case FourCC("PR_I"):
      if (PresetEditor() != nullptr) fPresetEditorLink.SendMessage(*message);
      return;
    case FourCC("PR_Q"):
      fPresetEditor = nullptr;
      fPresetEditorLink = Messenger();
      return;
    case FourCC("RPLY"):
      return;
    case FourCC("RUBR"):
      if (fRubrWindow.IsValid()) fRubrWindow.SendMessage(*message);
      if (fMainWindow != nullptr) fMainWindow->MessageReceived(message);
      return;
    case FourCC("-IR-"):
    case FourCC("RFID"):
    case FourCC("_IR_"):
    case FourCC("irRB"):
    case FourCC("irCE"):
    case FourCC("ir--"):
    case FourCC("irCH"):
    case FourCC("irCP"):
    case FourCC("irmi"):
    case FourCC("irRP"):
    case FourCC("irTQ"):
    case FourCC("irTR"):
      if (fMainWindow != nullptr) fMainWindow->MessageReceived(message);
      return;
    default:
      Trace("FB_App ");
      Trace("%s\n", message->Dump().c_str());
      if (message->what == FourCC("_QRQ")) QApplication::quit();
      return;
  }
}
