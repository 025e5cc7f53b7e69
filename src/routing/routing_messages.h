#pragma once
// The router's messages: the main window's switches and the teach box send them, the router acts on
// them.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// The next key report, or teach-in start, is skipped
inline constexpr uint32_t kSkipNextReport = FourCC("TICK");

// Writes the code chart of the remotes
inline constexpr uint32_t kWriteCodeChart = FourCC("CHRT");

// The mute button
inline constexpr uint32_t kMuteSound = FourCC("irCM");

// The hysteresis box was clicked
inline constexpr uint32_t kHysteresisToggled = FourCC("irCH");

// The continue box was clicked
inline constexpr uint32_t kContinueToggled = FourCC("irCS");

// The "all workspaces" setting was clicked
inline constexpr uint32_t kAllWorkspacesToggled = FourCC("iraw");

// The preset editor is asked for: the router loads the presets and opens it
inline constexpr uint32_t kEditPresets = FourCC("irEP");

// The splitting box was clicked
inline constexpr uint32_t kSplittingToggled = FourCC("irpt");

// A remote was chosen for the workspace group ("vaRemote")
inline constexpr uint32_t kChooseWorkspaceRemote = FourCC("r4ws");

// A remote was chosen for the desktop group ("vaRemote")
inline constexpr uint32_t kChooseDesktopRemote = FourCC("r4dt");

// A remote was chosen for the application group ("vaRemote")
inline constexpr uint32_t kChooseAppsRemote = FourCC("r4ap");

// A remote was chosen for the audio group ("vaRemote")
inline constexpr uint32_t kChooseAudioRemote = FourCC("r4au");

// A remote was chosen for the video group ("vaRemote")
inline constexpr uint32_t kChooseVideoRemote = FourCC("r4vi");

// "Teach In": the teach box opens
inline constexpr uint32_t kTeachStart = FourCC("nRgt");

// A key heard while teaching ("_blink", "_exact")
inline constexpr uint32_t kTeachKeyHeard = FourCC("nRtb");

// A remote was chosen to teach ("vaRemote")
inline constexpr uint32_t kTeachChooseRemote = FourCC("nRvr");

// The teach box's name was edited
inline constexpr uint32_t kTeachNameEdited = FourCC("nRsn");

// The teach box's header was edited
inline constexpr uint32_t kTeachHeaderEdited = FourCC("nRsh");

// The teach box's two-byte box was clicked
inline constexpr uint32_t kTeachDoubleByteToggled = FourCC("nRdb");

// The teach box's "Classic codes" box was clicked
inline constexpr uint32_t kTeachClassicToggled = FourCC("nRcc");

// Gives the last taught code a key function ("isCommand")
inline constexpr uint32_t kTeachAssignKey = FourCC("nRbs");

// Clears the taught key of a key function
inline constexpr uint32_t kTeachClearKey = FourCC("nRcx");

// The teach box's "Quit": the remote is written
inline constexpr uint32_t kTeachDone = FourCC("nRad");

}  // namespace koru
