#include "shell/fb_application.h"

#include <QApplication>

#include "platform/trace.h"
#include "shell/rc_window.h"

FbApplication::FbApplication() {
  SetAppMessenger(GetMessenger());
  fMainWindow = new RcWindow(Rect{60, 100, 760, 270});
  fMainWindow->show();
}

FbApplication::~FbApplication() {
  delete fMainWindow;
  fMainWindow = nullptr;
  SetAppMessenger(Messenger());
}

void FbApplication::MessageReceived(Message* message) {
  switch (message->what) {
    case FourCC("_UIC"):
      Trace("%s\n", message->Dump().c_str());
      return;
    case FourCC("PR_O"):
      if (fPresetEditor != nullptr) {
        fPresetEditor->Activate();
      } else if (fEditorFactory) {
        fPresetEditor = fEditorFactory();
      } else {
        Trace("FB_App no preset editor\n");
      }
      return;
    case FourCC("PR_I"):
      if (fPresetEditor != nullptr) fPresetEditor->WindowMessenger().SendMessage(*message);
      return;
    case FourCC("PR_Q"):
      fPresetEditor = nullptr;
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
      if (fReceiverObserver) fReceiverObserver(*message);
      return;
    default:
      Trace("FB_App ");
      Trace("%s\n", message->Dump().c_str());
      if (message->what == FourCC("_QRQ")) QApplication::quit();
      return;
  }
}
