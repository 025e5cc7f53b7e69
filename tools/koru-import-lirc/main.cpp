// koru-import-lirc [--out DIR] [--classic] [--replace] [--trace] FILE.conf...
// Writes one KORU remote file per remote of LIRC configuration files (lircd.conf): every button
// whose name stands for a KORU key function, with the code KORU's receiver reads from the
// button's signal. Prints per remote what was imported and what was not. Without --out the
// files go to the program's remote folder, which is first set up as the program's first start
// does (the built-in remotes), so the import never takes their place. Exit status: 0 every
// file was read and at least one remote imported, 1 a file could not be read or no remote was
// imported, 2 wrong usage.
#include "import-tool/import_tool.h"
#include "lirc/lirc_config.h"

using namespace koru;

int main(int argc, char** argv) {
  ImportTool tool;
  tool.program = "koru-import-lirc";
  tool.files = "FILE.conf...";
  tool.about =
      "Writes a KORU remote file for each remote of LIRC configuration files (lircd.conf):\n"
      "the buttons whose names stand for KORU key functions (KEY_1 N1, KEY_VOLUMEUP Vol+ ...),\n"
      "with the codes KORU's receiver reads from their signals.\n";
  tool.classic = true;
  tool.import = [](const std::string& file, const LircImportOptions& options,
                   std::vector<LircImportReport>* reports, std::vector<std::string>* warnings,
                   std::string* message) {
    std::vector<LircRemote> remotes;
    if (ReadLircConfigFile(file, &remotes, warnings, message) != kOk) return false;
    *reports = ImportLircRemotes(remotes, options);
    return true;
  };
  return RunImportTool(tool, argc, argv);
}
