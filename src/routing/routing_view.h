#pragma once
// What the key router shows and asks of the main window. The router decides; an implementation
// only puts the result on its widgets (the main window) or records it (tests). Every call comes
// from the GUI thread.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "actions/action_services.h"
#include "platform/messaging/clock.h"

namespace koru {

class KeyMenu;

// The texts of the key display, the compact view, the status line and the teach box.
enum class RoutingText {
  kCodec,       // protocol of the last code
  kRemote,      // remote of the last code
  kKey,         // key function of the last code
  kKeyValue,    // the code value looked up
  kMiniRemote,  // compact view: remote
  kMiniKey,     // compact view: key
  kSplitTitle,  // title of the splitting box
  kStatusLine,  // the line under the buttons
};

enum class TextAlign { kLeft, kCenter, kRight };

// The two text fields of the teach box.
enum class TeachField { kName, kHeader };

// How a teach field looks: open for a new remote, or locked showing an existing one.
enum class TeachFieldLook { kNew, kExisting };

// The tone of the teach-data line: green for a code not yet taught, red otherwise.
enum class TeachTone { kFree, kTaken };

// One remote pop-up menu: the teach menu (kind 0) or a group menu (kinds 10..14).
struct RemoteMenu {
  int32_t kind = 0;
  uint32_t what = 0;  // message code of every item
  std::string first;  // "Add New" or "-unset-", "vaRemote" -1
  // Every remote of the list in order: its position ("vaRemote") and its name.
  std::vector<std::pair<int32_t, std::string>> remotes;
  bool checkable = false;  // group menus mark their remote
  int32_t marked = -1;     // position of the marked remote; -1 marks the first item
};
// A bool of every item message of a remote menu: the menu field then gives up the focus.
inline constexpr const char* kFromMenuField = "tq:menu";

class RoutingView {
 public:
  virtual ~RoutingView() = default;

  // Key display and log.
  virtual void SetText(RoutingText which, const std::string& text) = 0;
  virtual void SetMiniGroup(const std::string& text, TextAlign align) = 0;
  virtual void ShowStatusLine() = 0;
  virtual void InsertLog(const std::string& line) = 0;  // at the top
  virtual void SetLogText(const std::string& text) = 0;
  virtual std::string LogText() const = 0;
  virtual void Beep() = 0;

  // Switches and the splitting box.
  virtual void ShowHysteresis(bool on) = 0;
  virtual void ShowContinuous(bool on) = 0;
  virtual bool SplitSwitch() const = 0;
  virtual void SetSplitSwitch(bool on) = 0;
  // Colours and enables the group menus for splitting on or off.
  virtual void ShowSplitting(bool on) = 0;
  // Gives the group menus their normal colour, or the highlight where `lit` is set.
  virtual void ShowGroupHighlight(const std::array<bool, 5>& lit) = 0;
  virtual void RebuildRemoteMenu(const RemoteMenu& menu) = 0;
  // The menu field of a remote menu (kind 0, 10..14) gives up the keyboard focus.
  virtual void DropMenuFocus(int32_t kind) = 0;
  virtual void MarkShowTab(bool on) = 0;

  // The teach box.
  virtual void ShowTeachBox(bool teaching) = 0;
  // Locks the "Teach In" button and the menu items that must wait while a remote is taught.
  virtual void LockForTeaching(bool locked) = 0;
  virtual std::string TeachFieldText(TeachField field) const = 0;
  virtual void SetTeachFieldText(TeachField field, const std::string& text) = 0;
  virtual void EnableTeachField(TeachField field, bool enabled) = 0;
  virtual void StyleTeachField(TeachField field, TeachFieldLook look) = 0;
  virtual bool TwoBytes() const = 0;
  virtual void SetTwoBytes(bool on) = 0;
  virtual void DropTwoBytesFocus() = 0;
  // The teach box's check box "Classic codes" (message 'nRcc'): teach with classic codes.
  virtual bool ClassicCodes() const = 0;
  virtual void SetClassicCodes(bool on) = 0;
  virtual void ShowTeachData(const std::string& text, TeachTone tone) = 0;
  // A taught code offers "set free"; a free one offers "goes to:".
  virtual void ShowTeachChoice(bool taught) = 0;
  virtual KeyMenu& TeachKeyMenu() = 0;

  // The window itself.
  virtual void SetPulseRate(bigtime_t rate) = 0;
  virtual void ToggleMinimised() = 0;
  // The window frame's top-left corner, `menu_offset` lower when the window has a menu bar.
  virtual ViewPoint WindowCorner(int menu_offset) const = 0;
  virtual void ShowOnAllWorkspaces(bool all) = 0;
  // Where the actions show the mute state and blank the status line (used on the action
  // thread).
  virtual MuteIndicator* MuteButton() = 0;
  virtual StatusLabel* StatusLine() = 0;

  // The receiver.
  virtual void ShowPressedKey(int32_t keyfn) = 0;
  virtual bool ReceiverContinuous() const = 0;
  // Stops or restarts the receiver thread.
  virtual void SetReceiverContinuous(bool on) = 0;
  // The port reported no code: scanning is off until the port is chosen again.
  virtual void ReceiverUnusable() = 0;
};

}  // namespace koru
