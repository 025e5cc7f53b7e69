#pragma once
// The virtual remote's messages: the router and the application send them, the virtual remote
// window acts on them.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// Opens the virtual remote, or brings it to the front
inline constexpr uint32_t kOpenVirtualRemote = FourCC("VR_O");

// Lights the button of a recognised key ("vr_target")
inline constexpr uint32_t kHighlightButton = FourCC("VR_H");

// The remotes changed: the board marks its remotes button
inline constexpr uint32_t kMarkRemotesButton = FourCC("VR_M");

// The virtual remote has closed
inline constexpr uint32_t kVirtualRemoteClosed = FourCC("VR_Q");

// The Super keys in the virtual remote: the main window comes to the front
inline constexpr uint32_t kMainWindowToFront = FourCC("VR_W");

// A button of the board was moved
inline constexpr uint32_t kButtonMoved = FourCC("VR_U");

// The grid box was clicked
inline constexpr uint32_t kShowGridToggled = FourCC("VRsg");

// The dual button box was clicked
inline constexpr uint32_t kDualButtonsToggled = FourCC("VRdB");

// A layout file was chosen ("layout_name")
inline constexpr uint32_t kChooseLayoutFile = FourCC("chLF");

}  // namespace koru
