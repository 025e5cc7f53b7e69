#pragma once
// Runs one of the command-line tools of the build through the shell (arguments are split,
// quoted and redirected as there): its exit code, standard output and standard error.
#include <cstdio>
#include <string>

#include "temp_dir.h"
#include "test_files.h"

namespace koru {

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// `input`, when given, is a command whose output is piped into the tool; `env` words such as
// "KORU_HOME=/x" go before it.
inline ToolRun RunTool(const std::string& tool, const std::string& arguments,
                       const std::string& input = "", const std::string& env = "") {
  TempDir dir;
  const std::string err_path = (dir.Path() / "stderr").string();
  // The exit code comes last on standard output, after a marker.
  const std::string command = (input.empty() ? "" : input + " | ") + env + " " +
                              KORU_BINARY_DIR "/tools/" + tool + "/" + tool + " " + arguments +
                              " 2>" + err_path + "; echo \"#exit $?\"";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, got);
  pclose(pipe);
  const size_t marker = run.out.rfind("#exit ");
  if (marker == std::string::npos) return run;
  run.exit_code = std::stoi(run.out.substr(marker + 6));
  run.out.erase(marker);
  run.err = ReadAll(err_path);
  return run;
}

}  // namespace koru
