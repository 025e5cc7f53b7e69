// koru-import-keymap [--out DIR] [--replace] [--trace] FILE.toml...
// Writes one KORU remote file per keymap of the kernel's remote keymap files (rc_keymap(5),
// as /lib/udev/rc_keymaps/ holds them): every key whose name stands for a KORU key function,
// with the code KORU's receiver reads from the press of its scancode. Keymaps of protocols
// KORU does not decode are reported and skipped. Folder, report and exit status as
// koru-import-lirc's.
#include "import-tool/import_tool.h"
#include "lirc/keymap_import.h"

using namespace koru;

int main(int argc, char** argv) {
  ImportTool tool;
  tool.program = "koru-import-keymap";
  tool.files = "FILE.toml...";
  tool.about =
      "Writes a KORU remote file for each keymap of the kernel's remote keymap files\n"
      "(rc_keymap(5), e.g. /lib/udev/rc_keymaps/*.toml): the keys whose names stand for KORU\n"
      "key functions (KEY_NUMERIC_1 N1, KEY_VOLUMEUP Vol+ ...), with the codes KORU's receiver\n"
      "reads from the presses of their scancodes. Keymaps of protocols KORU does not decode\n"
      "are reported and skipped.\n";
  tool.import = [](const std::string& file, const LircImportOptions& options,
                   std::vector<LircImportReport>* reports, std::vector<std::string>*,
                   std::string* message) {
    std::vector<KernelKeymap> keymaps;
    if (ReadKernelKeymapFile(file, &keymaps, message) != kOk) return false;
    *reports = ImportKernelKeymaps(keymaps, options);
    return true;
  };
  return RunImportTool(tool, argc, argv);
}
