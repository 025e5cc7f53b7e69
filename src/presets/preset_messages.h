#pragma once
// The preset editor's messages, and the preset list's: the router and the application send them,
// the editor acts on them.
#include <cstdint>

#include "platform/messaging/four_cc.h"

namespace koru {

// Opens the preset editor, or brings it to the front
inline constexpr uint32_t kOpenPresetEditor = FourCC("PR_O");

// The remote groups changed: the editor relabels its tabs
inline constexpr uint32_t kPresetLabelsChanged = FourCC("PR_I");

// The preset editor has closed
inline constexpr uint32_t kPresetEditorClosed = FourCC("PR_Q");

// The editor's "restore": reread the preset file
inline constexpr uint32_t kRestorePresets = FourCC("PR_r");

// The editor's "save"
inline constexpr uint32_t kSavePresets = FourCC("PR_s");

// A preset file was chosen
inline constexpr uint32_t kChoosePresetFile = FourCC("chPF");

// An entry of the preset editor was edited
inline constexpr uint32_t kPresetEntryEdited = FourCC("PEVp");

// The preset file changed: the router rereads it
inline constexpr uint32_t kReloadPresets = FourCC("irRP");

}  // namespace koru
