#pragma once
// The command line the import tools share (koru-import-lirc, koru-import-keymap): options,
// the remote folder, the report per remote and the exit status. Each tool names its files and
// reads one.
#include <functional>
#include <string>
#include <vector>

#include "lirc/lirc_import.h"

namespace koru {

struct ImportTool {
  const char* program;   // "koru-import-lirc"
  const char* files;     // "FILE.conf..."
  const char* about;     // the help's description, lines ending in '\n'
  bool classic = false;  // offers --classic
  // Imports the remotes of one file: false and a message when the file cannot be read;
  // `warnings` go to standard error, an empty `reports` prints "<file>: no remote".
  std::function<bool(const std::string& file, const LircImportOptions& options,
                     std::vector<LircImportReport>* reports, std::vector<std::string>* warnings,
                     std::string* message)>
      import;
};

int RunImportTool(const ImportTool& tool, int argc, char** argv);

}  // namespace koru
