// koru-decode [--gap US] [--evaluation burst|classic] [--remotes DIR|builtin [--hysteresis]]
// [--trace] FILE...: replays mode2 recordings through the receiver thread on a virtual clock and
// prints one line per receiver report on standard output. --evaluation chooses the thread's
// bookkeeping: burst (the default) or the classic one ("Classic receiver timing"). With --remotes,
// every report that reaches the matching gets " remote=<name> key=<label>" as the main window
// would find them among the remote files of DIR (or the built-in remotes in their table's order).
// The receiver's trace goes to standard error with --trace and nowhere without. Exit status: 0
// played, 1 a file or folder could not be used or the receiver could not run, 2 wrong usage.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "koru_version.h"
#include "platform/lines/mode2_file.h"
#include "platform/lines/mode2_recording.h"
#include "platform/messaging/trace.h"
#include "receiver/replay_session.h"
#include "receiver/report_line.h"
#include "remotes/builtin_remotes.h"
#include "remotes/key_match.h"
#include "remotes/remote_definition.h"

namespace koru {

namespace {

constexpr uint64_t kDefaultGap = 200000;

constexpr const char* kUsage =
    "usage: koru-decode [--gap US] [--evaluation burst|classic] [--remotes DIR|builtin "
    "[--hysteresis]] [--trace] FILE...\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

void PrintHelp() {
  std::fputs(kUsage, stdout);
  std::fputs(
      "Plays mode2 recordings through KORU's receiver on a virtual clock and prints one line\n"
      "per receiver report.\n\n"
      "  --gap US            silence between two files in microseconds (default 200000)\n"
      "  --evaluation E      burst (default): a press is reported on its first frame;\n"
      "                      classic: the receiver's classic timing\n"
      "  --remotes DIR       add \" remote=NAME key=LABEL\" as KORU matches the code among the\n"
      "                      remote files of DIR, exact remotes first (builtin: the\n"
      "                      built-in remotes)\n"
      "  --hysteresis        match one-byte remotes as with \"Use hysterese\" on\n"
      "  --trace             write the receiver's trace to standard error\n"
      "  --version           print the version and exit\n"
      "  --help              print this help and exit\n\n"
      "Exit status: 0 every file was played, 1 a file or the remote folder could not be\n"
      "used or the receiver could not run, 2 wrong usage.\n",
      stdout);
}

bool ParseGap(const char* text, uint64_t* gap) {
  if (text == nullptr || *text == '\0') return false;
  Mode2Recording probe;
  // The same number rules as the recordings: whole, non-negative, 64 bits.
  if (ParseMode2(std::string("space ") + text, "--gap", &probe, nullptr) != kOk) return false;
  *gap = probe.empty() ? 0 : probe.front().microseconds;
  return true;
}

// Why a file could not be played to its end.
struct PlayFailure {
  status_t status = kOk;
  std::string error;
};

// The files one after another, with `gap` of silence between two.
class FilesInTurn : public Mode2Source {
 public:
  FilesInTurn(std::vector<std::shared_ptr<const Mode2File>> files, uint64_t gap,
              PlayFailure* failure)
      : files_(std::move(files)), gap_(gap), failure_(failure) {}
  bool Next(Mode2Entry* entry) override {
    while (next_ < files_.size() || playing_ != nullptr) {
      if (playing_ == nullptr) {
        playing_ = files_[next_]->Play();
        files_[next_].reset();  // a copy of a pipe goes as soon as it has played
        if (next_++ > 0 && gap_ > 0) {
          *entry = {false, gap_};
          return true;
        }
      }
      if (playing_->Next(entry)) return true;
      if (playing_->Status() != kOk) {
        failure_->status = playing_->Status();
        failure_->error = playing_->Error();
        next_ = files_.size();
      }
      playing_.reset();
    }
    return false;
  }

 private:
  std::vector<std::shared_ptr<const Mode2File>> files_;
  uint64_t gap_;
  size_t next_ = 0;
  std::unique_ptr<Mode2Source> playing_;
  PlayFailure* failure_;
};

// The remotes to match against; matching is off while it is null.
const RemoteList* g_remotes = nullptr;
bool g_hysteresis = false;

// The per-report output; extend here for further columns.
void PrintReport(bigtime_t time, const ReceiverReport& report) {
  std::string line = ReceiverReportLine(time, report);
  KeyMatch match;
  if (g_remotes && MatchReport(*g_remotes, report, g_hysteresis, &match))
    line += " remote=" + match.remote_label + " key=" + match.key_label;
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
}

}  // namespace

}  // namespace koru

using namespace koru;

int main(int argc, char** argv) {
  uint64_t gap = kDefaultGap;
  std::vector<std::string> files;
  std::string remotes;
  Evaluation evaluation = Evaluation::kBurst;
  bool trace = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      PrintHelp();
      return 0;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("koru-decode (KORU) %s\n", KORU_VERSION);
      return 0;
    } else if (std::strcmp(argv[i], "--trace") == 0) {
      trace = true;
    } else if (std::strcmp(argv[i], "--gap") == 0) {
      if (i + 1 >= argc || !ParseGap(argv[i + 1], &gap)) {
        std::fprintf(stderr, "koru-decode: --gap needs a whole number of microseconds\n");
        return Usage();
      }
      ++i;
    } else if (std::strcmp(argv[i], "--evaluation") == 0) {
      const char* name = i + 1 < argc ? argv[++i] : "";
      if (std::strcmp(name, "burst") == 0) {
        evaluation = Evaluation::kBurst;
      } else if (std::strcmp(name, "classic") == 0) {
        evaluation = Evaluation::kClassic;
      } else {
        std::fprintf(stderr, "koru-decode: --evaluation is burst or classic\n");
        return Usage();
      }
    } else if (std::strcmp(argv[i], "--remotes") == 0) {
      if (i + 1 >= argc) return Usage();
      remotes = argv[++i];
    } else if (std::strcmp(argv[i], "--hysteresis") == 0) {
      g_hysteresis = true;
    } else if (std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0') {
      std::fprintf(stderr, "koru-decode: unknown option %s\n", argv[i]);
      return Usage();
    } else {
      files.emplace_back(argv[i]);
    }
  }
  if (files.empty() || (g_hysteresis && remotes.empty())) return Usage();
  // Standard output holds the reports only; the trace is asked for.
  // Standard error is unbuffered: a block buffer keeps the trace from costing a write per line.
  static char trace_buffer[64 * 1024];
  if (trace) std::setvbuf(stderr, trace_buffer, _IOFBF, sizeof trace_buffer);
  FILE* trace_stream = trace ? stderr : std::fopen("/dev/null", "w");
  SetTraceStream(trace_stream != nullptr ? trace_stream : stderr);

  RemoteList list;
  if (remotes == "builtin") {
    AppendBuiltinRemotes(&list);
  } else if (!remotes.empty()) {
    if (!std::filesystem::is_directory(remotes)) {
      std::fprintf(stderr, "koru-decode: %s is no folder of remote files\n", remotes.c_str());
      return 1;
    }
    TraceRemoteFolder(remotes);
    RemoteDefinition library(remotes);
    library.writes_index_ = false;  // only reads: the folder may be the user's
    library.LookForRemotes(&list);
  }
  if (!remotes.empty()) g_remotes = &list;

  // Every file is checked before anything plays: a bad one gives no reports at all.
  std::vector<std::shared_ptr<const Mode2File>> recordings(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    std::string error;
    if (Mode2File::Open(files[i], &recordings[i], &error) != kOk) {
      std::fprintf(stderr, "koru-decode: %s\n", error.c_str());
      return 1;
    }
  }
  PlayFailure failure;
  const int32_t status = ReplayThroughReceiver(
      std::make_unique<FilesInTurn>(std::move(recordings), gap, &failure), PrintReport, evaluation);
  std::fflush(stdout);
  // Only a file changed or broken while it played gets here.
  if (failure.status != kOk) {
    std::fprintf(stderr, "koru-decode: %s\n", failure.error.c_str());
    return 1;
  }
  if (status < 0 && status != kInterrupted) {
    std::fprintf(stderr, "koru-decode: the receiver thread could not run (%d)\n", status);
    return 1;
  }
  return 0;
}
