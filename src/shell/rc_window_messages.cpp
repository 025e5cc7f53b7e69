// The main window's message handler: the codes of the shell itself; the routing, the teach-in
// and the receiver view take theirs.
#include <QCheckBox>

#include "platform/messaging/trace.h"
#include "settings/prefs.h"
#include "shell/rc_window.h"

void RcWindow::MessageReceived(Message* message) {
  if (fRouter.HandleMessage(message)) return;
  if (HandleReceiverMessage(message)) return;
  switch (message->what) {
    case FourCC("irmi"):
      ChangeMiniview();
      return;
    case FourCC("PREF"):
      AddSettingsView();
      return;
    case FourCC("irLI"):
      ImportLircRemote();
      return;
    case FourCC("irKI"):
      ImportKernelKeymap();
      return;
    case FourCC("_ABR"):
      AboutRequested();
      return;
    case FourCC("_QRQ"):
      QuitRequested();
      return;
    case FourCC("MWva"):
    case FourCC("MWna"):
      ToplistWinMsg(message);
      return;
    case FourCC("irpp"):
      fPimpColors = !fPimpColors;
      UsePimpColors();
      if (fSettings != nullptr) fSettings->use_pimped = fPimpColors;
      return;
    case FourCC("irss"):
      if (fSettings != nullptr) fSettings->use_systemsound = !fSettings->use_systemsound;
      return;
    case FourCC("_KYD"):
    case FourCC("_KYU"):
    case FourCC("_UKD"):
    case FourCC("_UKU"):
    case FourCC("_KDN"):
    case FourCC("_MUP"):
    case FourCC("_MMV"):
    case FourCC("_MCH"):
    case FourCC("_MWC"):
    case FourCC("_PBL"):
    case FourCC("_DPD"):
      return;  // input events of other windows: consumed
    case FourCC("RFID"):
      Trace("%s\n", message->Dump().c_str());
      return;
    default:
      Trace("RcWindow::MessageReceived\n");
      return;
  }
}
