#pragma once
// The desktop actions: each takes a key function number (or what its caller derives from it)
// and acts at once on the calling thread, pauses included. The routing calls them through the
// action thread (action_thread.h) so that their waits never block a window.
#include <cstdint>
#include <string>
#include <vector>

#include "actions/action_services.h"
#include "platform/desktop/desktop.h"
#include "platform/media/media_players.h"

namespace koru {

// Signatures the actions recognise.
inline constexpr char kKoruSignature[] = "application/x-vnd.tq-KORU";
inline constexpr char kTrackerSignature[] = "application/x-vnd.Be-TRAK";
inline constexpr char kDeskbarSignature[] = "application/x-vnd.Be-TSKB";
inline constexpr char kTerminalSignature[] = "application/x-vnd.Be-SHEL";
inline constexpr char kWorkspacesSignature[] = "application/x-vnd.Be-WORK";
inline constexpr char kPdfViewerSignature[] = "application/x-vnd.mp-xpdf";
inline constexpr char kOfficeSignature[] = "application/x-vnd.gobe.productive";
inline constexpr char kSoundplaySignature[] = "application/x-vnd.marcone-soundplay";
inline constexpr char kZenebonaSignature[] = "application/x-vnd.RMC.Zenebona";
inline constexpr char kMediaPlayerSignature[] = "application/x-vnd.yT-MediaPlayer";
inline constexpr char kMediaPlayer2Signature[] = "application/x-vnd.YT-MediaPlayer";
inline constexpr char kVlcSignature[] = "application/x-vnd.videolan-vlc";
inline constexpr char kStampTvSignature[] = "application/x-vnd.Me.stampTV";

// The audio player that DoCommand and RemoteTrack address.
extern const char* const kAudioPlayerSignature;

// Workspaces, pointer and focus.
void FollowMousFocus(ActionServices& services, bool on);
void IJumpWorkSpace(ActionServices& services, int32_t n);
// `view` may be null (the pointer step then only traces); `label` may be null.
void IMoveMouse(ActionServices& services, ViewPoint origin, int32_t n, PointerView* view,
                StatusLabel* label);

// Keystrokes to the active application.
void IAltPlusMinus(ActionServices& services, int32_t n);
void IKeypress2App(ActionServices& services, int32_t n);

// Media players and the master mute.
void IAudioApps(ActionServices& services, int32_t n);
void IVideoApps(ActionServices& services, int32_t n);
void IMuteSound(ActionServices& services, bool query_only, MuteIndicator* indicator);
void ICloseMediaApp(ActionServices& services);
// Player verbs: 'prev', 'next', 'vol+', 'vol-', 'stop', 'play'; anything else does nothing.
void DoCommand(ActionServices& services, uint32_t verb);
PlayerTrack RemoteTrack(ActionServices& services, int32_t index);
// The most tracks one DoCommand walks, so that a player answering every index cannot hang it.
inline constexpr int32_t kMaxPlayerTracks = 64;

// The task switcher, the window survey and closing. `info` may be null.
void SwitchApplication(ActionServices& services, AppInfo* info);
void CloseFrontWindow(ActionServices& services);
void LookForTrackerWins(ActionServices& services, std::vector<std::string>* out);

// Files, folders and URLs. Stored paths ("/boot/home/...") are mapped to Linux paths.
void IOpenThisFile(ActionServices& services, const std::string& path, bool alert);
void IOpenThisUrl(ActionServices& services, const std::string& text, bool alert);
// The URL inside `text` (see IOpenThisUrl), or empty when there is none.
std::string CutUrl(const std::string& text);

// Running applications: the desktop's, then players reachable only by scripting.
std::vector<AppInfo> ListRunningApps(ActionServices& services);
bool IsAppRunning(ActionServices& services, const std::string& signature);

}  // namespace koru
