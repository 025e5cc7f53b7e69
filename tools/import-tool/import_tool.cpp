#include "import-tool/import_tool.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "koru_version.h"
#include "platform/files/paths.h"
#include "platform/messaging/trace.h"
#include "remotes/remote_definition.h"

namespace koru {

namespace {

std::string Usage(const ImportTool& tool) {
  return std::string("usage: ") + tool.program + " [--out DIR]" +
         (tool.classic ? " [--classic]" : "") + " [--replace] [--trace] " + tool.files + "\n";
}

int WrongUsage(const ImportTool& tool) {
  std::fputs(Usage(tool).c_str(), stderr);
  return 2;
}

void PrintHelp(const ImportTool& tool) {
  std::fputs(Usage(tool).c_str(), stdout);
  std::fputs(tool.about, stdout);
  std::fputs(
      "\n  --out DIR   write the remote files into DIR (default: the program's remote folder)\n",
      stdout);
  if (tool.classic)
    std::fputs("  --classic   write classic codes where every key's classic code is distinct\n",
               stdout);
  std::fputs(
      "  --replace   replace remote files of the same name (default: keep them)\n"
      "  --trace     write the receiver's trace to standard error\n"
      "  --version   print the version and exit\n"
      "  --help      print this help and exit\n\n"
      "Exit status: 0 every file was read and a remote imported, 1 a file could not be read\n"
      "or no remote was imported, 2 wrong usage.\n",
      stdout);
}

}  // namespace

int RunImportTool(const ImportTool& tool, int argc, char** argv) {
  std::string out;
  std::vector<std::string> files;
  LircImportOptions options;
  bool trace = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintHelp(tool);
      return 0;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s (KORU) %s\n", tool.program, KORU_VERSION);
      return 0;
    } else if (std::strcmp(argv[i], "--out") == 0) {
      if (i + 1 >= argc) return WrongUsage(tool);
      out = argv[++i];
    } else if (tool.classic && std::strcmp(argv[i], "--classic") == 0) {
      options.classic = true;
    } else if (std::strcmp(argv[i], "--replace") == 0) {
      options.replace = true;
    } else if (std::strcmp(argv[i], "--trace") == 0) {
      trace = true;
    } else if (std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0') {
      std::fprintf(stderr, "%s: unknown option %s\n", tool.program, argv[i]);
      return WrongUsage(tool);
    } else {
      files.emplace_back(argv[i]);
    }
  }
  if (files.empty()) return WrongUsage(tool);
  FILE* trace_stream = trace ? stderr : std::fopen("/dev/null", "w");
  SetTraceStream(trace_stream != nullptr ? trace_stream : stderr);

  std::error_code error;
  const std::filesystem::path folder =
      out.empty() ? ProgramFolder() / "_Remotes_" : std::filesystem::path(out);
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder)) {
    std::fprintf(stderr, "%s: %s is no folder\n", tool.program, folder.c_str());
    return 1;
  }
  TraceRemoteFolder(folder);
  options.folder = folder;
  if (out.empty()) {
    // The program's own folder: what its first start writes comes first.
    RemoteDefinition library(folder);
    RemoteList list;
    library.LoadRemoteLibrary(&list);
  }

  int status = 0;
  size_t imported = 0;
  for (const std::string& file : files) {
    std::vector<LircImportReport> reports;
    std::vector<std::string> warnings;
    std::string message;
    if (!tool.import(file, options, &reports, &warnings, &message)) {
      std::fprintf(stderr, "%s: %s\n", tool.program, message.c_str());
      status = 1;
      continue;
    }
    for (const std::string& warning : warnings)
      std::fprintf(stderr, "%s: %s\n", tool.program, warning.c_str());
    if (reports.empty()) std::printf("%s: no remote\n", file.c_str());
    for (const LircImportReport& report : reports) {
      std::fputs(LircImportText(report).c_str(), stdout);
      if (!report.file.empty()) ++imported;
    }
  }
  std::printf("%zu remote%s imported into %s\n", imported, imported == 1 ? "" : "s",
              folder.c_str());
  return imported == 0 ? 1 : status;
}

}  // namespace koru
