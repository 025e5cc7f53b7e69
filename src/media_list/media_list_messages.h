#pragma once
// The media list's messages: the router and the main window open, close and steer the list; the
// list window acts on them and reports back.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// Opens the media list (the router enters media-list mode)
inline constexpr uint32_t kOpenMediaList = FourCC("MW_O");

// Closes the media list
inline constexpr uint32_t kCloseMediaList = FourCC("MW_C");

// The media list window has closed
inline constexpr uint32_t kMediaListClosed = FourCC("MW_Q");

// Opens the media list file for editing
inline constexpr uint32_t kEditMediaListFile = FourCC("MW_E");

// A remote key for the media list ("korukey")
inline constexpr uint32_t kMediaListKey = FourCC("MWse");

// Hides or shows the media list's tab
inline constexpr uint32_t kToggleMediaTab = FourCC("MWkT");

// Hides the media list's tab
inline constexpr uint32_t kHideMediaTab = FourCC("MWhT");

// Shows the media list's tab
inline constexpr uint32_t kShowMediaTab = FourCC("MWsT");

// The media view's small size
inline constexpr uint32_t kMediaViewMini = FourCC("MWmi");

// The media view's normal size
inline constexpr uint32_t kMediaViewNormal = FourCC("MWmd");

// The media view's large size
inline constexpr uint32_t kMediaViewMaxi = FourCC("MWmx");

// Plays an entry of the list ("ml_nr")
inline constexpr uint32_t kPlayMediaEntry = FourCC("MWpl");

// Asks every running media player to quit
inline constexpr uint32_t kQuitMediaPlayers = FourCC("MWqp");

// An action on an entry's files ("mpl_what", "mpl_nr")
inline constexpr uint32_t kMediaFilesAction = FourCC("mpl1");

// The main window switches its mini view (sent by the media list too)
inline constexpr uint32_t kToggleMiniView = FourCC("irmi");

}  // namespace koru
