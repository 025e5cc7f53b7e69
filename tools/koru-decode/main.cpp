// koru-decode [--gap US] FILE...: replays mode2 recordings through the receiver thread on a
// virtual clock and prints one line per receiver report on standard output. The trace goes
// to standard error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/mode2_recording.h"
#include "platform/trace.h"
#include "receiver/replay_session.h"
#include "receiver/report_line.h"

namespace {

constexpr uint64_t kDefaultGap = 200000;

int Usage() {
  std::fprintf(stderr, "usage: koru-decode [--gap US] FILE...\n");
  return 2;
}

bool ParseGap(const char* text, uint64_t* gap) {
  if (text == nullptr || *text == '\0') return false;
  Mode2Recording probe;
  // The same number rules as the recordings: whole, non-negative, 64 bits.
  if (ParseMode2(std::string("space ") + text, "--gap", &probe, nullptr) != kOk) return false;
  *gap = probe.empty() ? 0 : probe.front().microseconds;
  return true;
}

// The per-report output; extend here for further columns.
void PrintReport(bigtime_t time, const Message& report) {
  const std::string line = ReceiverReportLine(time, report);
  if (line.empty()) return;
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

int main(int argc, char** argv) {
  SetTraceStream(stderr);
  uint64_t gap = kDefaultGap;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--gap") == 0) {
      if (i + 1 >= argc || !ParseGap(argv[i + 1], &gap)) {
        std::fprintf(stderr, "koru-decode: --gap needs a whole number of microseconds\n");
        return Usage();
      }
      ++i;
    } else if (std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0') {
      std::fprintf(stderr, "koru-decode: unknown option %s\n", argv[i]);
      return Usage();
    } else {
      files.emplace_back(argv[i]);
    }
  }
  if (files.empty()) return Usage();

  Mode2Recording all;
  for (size_t i = 0; i < files.size(); ++i) {
    Mode2Recording recording;
    std::string error;
    if (ReadMode2File(files[i], &recording, &error) != kOk) {
      std::fprintf(stderr, "koru-decode: %s\n", error.c_str());
      return 1;
    }
    if (i > 0) AppendMode2(&all, false, gap);
    AppendMode2(&all, recording);
  }

  const int32_t status = ReplayThroughReceiver(all, PrintReport);
  std::fflush(stdout);
  if (status < 0 && status != kInterrupted) {
    std::fprintf(stderr, "koru-decode: the receiver thread could not run (%d)\n", status);
    return 1;
  }
  return 0;
}
