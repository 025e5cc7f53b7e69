// koru-import-lirc [--out DIR] [--classic] [--replace] [--trace] FILE.conf...
// Writes one KORU remote file per remote of LIRC configuration files (lircd.conf): every button
// whose name stands for a KORU key function, with the code KORU's receiver reads from the
// button's signal. Prints per remote what was imported and what was not. Without --out the
// files go to the program's remote folder, which is first set up as the program's first start
// does (the built-in remotes), so the import never takes their place. Exit status: 0 every
// file was read and at least one remote imported, 1 a file could not be read or no remote was
// imported, 2 wrong usage.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "koru_version.h"
#include "lirc/lirc_config.h"
#include "lirc/lirc_import.h"
#include "platform/files/paths.h"
#include "platform/messaging/trace.h"
#include "remotes/remote_cl.h"

namespace {

constexpr const char* kUsage =
    "usage: koru-import-lirc [--out DIR] [--classic] [--replace] [--trace] FILE.conf...\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

void PrintHelp() {
  std::fputs(kUsage, stdout);
  std::fputs(
      "Writes a KORU remote file for each remote of LIRC configuration files (lircd.conf):\n"
      "the buttons whose names stand for KORU key functions (KEY_1 N1, KEY_VOLUMEUP Vol+ ...),\n"
      "with the codes KORU's receiver reads from their signals.\n\n"
      "  --out DIR   write the remote files into DIR (default: the program's remote folder)\n"
      "  --classic   write classic codes where every key's classic code is distinct\n"
      "  --replace   replace remote files of the same name (default: keep them)\n"
      "  --trace     write the receiver's trace to standard error\n"
      "  --version   print the version and exit\n"
      "  --help      print this help and exit\n\n"
      "Exit status: 0 every file was read and a remote imported, 1 a file could not be read\n"
      "or no remote was imported, 2 wrong usage.\n",
      stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string out;
  std::vector<std::string> files;
  LircImportOptions options;
  bool trace = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintHelp();
      return 0;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("koru-import-lirc (KORU) %s\n", KORU_VERSION);
      return 0;
    } else if (std::strcmp(argv[i], "--out") == 0) {
      if (i + 1 >= argc) return Usage();
      out = argv[++i];
    } else if (std::strcmp(argv[i], "--classic") == 0) {
      options.classic = true;
    } else if (std::strcmp(argv[i], "--replace") == 0) {
      options.replace = true;
    } else if (std::strcmp(argv[i], "--trace") == 0) {
      trace = true;
    } else if (std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0') {
      std::fprintf(stderr, "koru-import-lirc: unknown option %s\n", argv[i]);
      return Usage();
    } else {
      files.emplace_back(argv[i]);
    }
  }
  if (files.empty()) return Usage();
  FILE* trace_stream = trace ? stderr : std::fopen("/dev/null", "w");
  SetTraceStream(trace_stream != nullptr ? trace_stream : stderr);

  std::error_code error;
  const std::filesystem::path folder =
      out.empty() ? ProgramFolder() / "_Remotes_" : std::filesystem::path(out);
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder)) {
    std::fprintf(stderr, "koru-import-lirc: %s is no folder\n", folder.c_str());
    return 1;
  }
  RemoteCL::SetFolder(folder);
  if (out.empty()) {
    // The program's own folder: what its first start writes comes first.
    RemoteCL library;
    RemoteList list;
    library.LoadRemoteLibrary(&list);
  }

  int status = 0;
  size_t imported = 0;
  for (const std::string& file : files) {
    std::vector<LircRemote> remotes;
    std::vector<std::string> warnings;
    std::string message;
    if (ReadLircConfigFile(file, &remotes, &warnings, &message) != kOk) {
      std::fprintf(stderr, "koru-import-lirc: %s\n", message.c_str());
      status = 1;
      continue;
    }
    for (const std::string& warning : warnings)
      std::fprintf(stderr, "koru-import-lirc: %s\n", warning.c_str());
    if (remotes.empty()) std::printf("%s: no remote\n", file.c_str());
    for (const LircImportReport& report : ImportLircRemotes(remotes, options)) {
      std::fputs(LircImportText(report).c_str(), stdout);
      if (!report.file.empty()) ++imported;
    }
  }
  std::printf("%zu remote%s imported into %s\n", imported, imported == 1 ? "" : "s",
              folder.c_str());
  return imported == 0 ? 1 : status;
}
