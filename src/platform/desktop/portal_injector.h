#pragma once
// Input through the desktop's RemoteDesktop portal (org.freedesktop.portal.Desktop on the
// session bus), for sessions where /dev/uinput is out of reach. The remote desktop session is
// started when input is first needed: the desktop asks the user then (KORU's log says why
// beforehand, see DesktopReport::Notices). Where the portal can, the grant
// is kept across runs: its single-use restore token is stored after every start.
//
// A refusal holds for the rest of the run and is traced once; KORU never asks again in a loop.
// A portal that goes away (or ends the session) fails the next call with one trace line; a
// later call starts a new session once the portal is back.
//
// The portal answers its requests with signals; the injector waits for them with an event loop
// of its own on the calling thread (the program's QCoreApplication must exist). The signals go
// to the thread of the first call: use the injector from that one thread only.
//
//   std::string why_not;
//   std::unique_ptr<InputInjector> input = OpenPortalInjector(&why_not);
#include <filesystem>
#include <memory>
#include <string>

#include "platform/desktop/input_injector.h"

namespace koru {

// Null, with `why_not` in plain words, when the session bus has no portal with remote desktop.
std::unique_ptr<InputInjector> OpenPortalInjector(std::string* why_not);

// Where the restore token is kept (0600): <settings folder>/koru/remote-desktop-token.
std::filesystem::path PortalTokenFile();

}  // namespace koru
