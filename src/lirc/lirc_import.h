#pragma once
// Import of LIRC remotes into KORU remote files. For every button whose name stands for a KORU
// key function, the button's press is made as LIRC sends it and played through KORU's own
// receiver on a virtual clock, so the remote file holds the codes the receiver reports for
// that remote. The file is written in the exact mode (every key its own protocol code); with
// `classic` it is written in the classic mode instead when the classic codes allow it (one
// header for all keys and a distinct, non-zero command value per key), as the teach-in's
// "Classic codes" does.
//
//   LircImportOptions options{.folder = remote_folder};
//   for (const LircImportReport& report : ImportLircRemotes(remotes, options))
//     print(LircImportText(report));
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "lirc/lirc_config.h"
#include "receiver/exact/exact_code.h"

namespace koru {

struct LircImportOptions {
  std::filesystem::path folder;  // the remote folder the files go to
  bool classic = false;          // classic-mode files where the classic codes are distinct
  bool replace = false;          // replace remote files of the same name (else they are kept)
};

// What became of one LIRC remote.
struct LircImportReport {
  std::string remote;        // the LIRC remote's name
  std::string file;          // the remote file written (a name in the remote folder), "" for none
  std::string refused;       // why no file was written
  bool classic = false;      // the file is in the classic mode
  std::string classic_note;  // why a classic file was asked for and not written
  std::vector<std::string> imported;          // "KEY_1 N1 NEC:0x04:0x08"
  std::vector<std::string> without_function;  // button names with no KORU key function
  std::vector<std::string> taken;             // "KEY_SELECT (OK of KEY_OK)": the function is used
  std::vector<std::string> collisions;        // "KEY_PLAY (code of KEY_PAUSE)": one code, two keys
  std::vector<std::string> undecoded;         // "KEY_POWER: why"
  std::vector<std::string> toggling;          // keys whose code changes from press to press
};

// The codes KORU's receiver reports for a signal (periods from a pulse, ending with a gap):
// the classic code text and the exact code; nothing when no report came.
struct LircReceived {
  std::string code_text;
  std::optional<ExactCode> exact;
};
std::optional<LircReceived> ReceiveLircSignal(const std::vector<int32_t>& periods);

// Imports each remote into the remote folder, in order; a second remote of a name imported
// before in the same call is refused.
std::vector<LircImportReport> ImportLircRemotes(const std::vector<LircRemote>& remotes,
                                                const LircImportOptions& options);

// A remote from any kind of remote description (LIRC's, the kernel's keymaps): its buttons by
// name and how a press of one is made and received. The import is the same for every kind:
// the key names, the report and the refusals.
struct ImportedRemote {
  std::string name;
  std::string problem;  // why no key can be made at all ("" when none)
  std::vector<std::string> buttons;
  bool toggles = false;  // a press may differ from the one before (a toggle bit)
  // The receiver's codes for a press of buttons[index] after `earlier_presses` others, or
  // nothing and why.
  std::function<std::optional<LircReceived>(size_t index, int32_t earlier_presses,
                                            std::string* why)>
      receive;
};

// As ImportLircRemotes; `kind` names the import on the trace ("LIRC import").
std::vector<LircImportReport> ImportRemotes(const std::vector<ImportedRemote>& remotes,
                                            const LircImportOptions& options, const char* kind);

// The report as lines of text for a terminal or a message box.
std::string LircImportText(const LircImportReport& report);

}  // namespace koru
