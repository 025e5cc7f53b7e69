// koru-encode [--remotes DIR] REMOTE KEYLABEL [--hold N]
// koru-encode --exact FIELD [--hold N]
// Prints a mode2 recording of one press of a key of a remote (a built-in remote unless
// --remotes names a folder of remote files), or of an exact code ("NEC:0x04:0x08"); the
// receiver decodes it back to that remote and key, or that exact code. --hold N sends N more
// frames, as a key held down does; --jitter US --seed S moves every period by up to US
// microseconds either way, at random from seed S, as a poor receiver would. The trace of reading
// remote files goes to standard error with --trace and nowhere without. Exit status: 0 written, 1
// no such remote or key or a code the family cannot send, 2 wrong usage.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "koru_version.h"
#include "platform/messaging/trace.h"
#include "receiver/exact/exact_code.h"
#include "receiver/exact/exact_encoder.h"
#include "remotes/builtin_remotes.h"
#include "remotes/frame_encoder.h"
#include "remotes/remote_definition.h"
#include "settings/label_table.h"

namespace koru {

namespace {

constexpr const char* kUsage =
    "usage: koru-encode [--remotes DIR] [--hold N] [--jitter US --seed S] [--trace] REMOTE "
    "KEYLABEL\n"
    "       koru-encode --exact FIELD [--hold N] [--jitter US --seed S]\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

void PrintHelp() {
  std::fputs(kUsage, stdout);
  std::fputs(
      "Prints a mode2 recording of one press of a key (a label such as N5, Vol+ or OK) of a\n"
      "remote, or of an exact code; KORU's receiver decodes it back to that remote and key,\n"
      "or that exact code.\n\n"
      "  --remotes DIR   look for REMOTE among the remote files of DIR (default: built in)\n"
      "  --exact FIELD   send an exact code, e.g. NEC:0x04:0x08 or Sony12:0x01:0x15\n"
      "  --hold N        send N more frames (0..1000), as a key held down does\n"
      "  --jitter US     move every period by up to US microseconds (0..1000) either way\n"
      "  --seed S        the seed of the jitter (default 1)\n"
      "  --trace         write the trace of reading remote files to standard error\n"
      "  --version       print the version and exit\n"
      "  --help          print this help and exit\n\n"
      "Exit status: 0 the recording was written, 1 no such remote or key, or a code its\n"
      "family or protocol cannot send, 2 wrong usage.\n",
      stdout);
}

// The key function whose label (English or translated) is `label`; 0 when none.
int32_t KeyFunctionOf(const std::string& label) {
  for (int32_t n = kFirstKeyFunction; n <= kLastKeyFunction; ++n)
    if (label == eLabel[n] || label == getLabel(n)) return n;
  return 0;
}

// Every period moved by up to `us` either way, uniformly; never below 1 us.
void Jitter(int32_t us, uint32_t seed, std::vector<int32_t>* periods) {
  if (us <= 0) return;
  std::mt19937 rng(seed);
  std::uniform_int_distribution<int32_t> shift(-us, us);
  for (int32_t& period : *periods) period = std::max(1, period + shift(rng));
}

bool ParseNumber(const char* text, long low, long high, long* value) {
  char* end = nullptr;
  *value = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && *value >= low && *value <= high;
}

int EncodeExact(const std::string& field, long hold, long jitter, long seed) {
  const std::optional<ExactCode> code = ParseExactField(field);
  if (!code) {
    std::fprintf(stderr, "koru-encode: '%s' is no exact code\n", field.c_str());
    return 1;
  }
  std::vector<int32_t> periods;
  if (!EncodeExactPress(*code, static_cast<int32_t>(hold), &periods)) {
    std::fprintf(stderr, "koru-encode: %s cannot be sent\n", field.c_str());
    return 1;
  }
  Jitter(static_cast<int32_t>(jitter), static_cast<uint32_t>(seed), &periods);
  std::printf("# KORU exact code %s (%s, extra frames %ld)\n", ExactField(*code).c_str(),
              ExactReadable(*code).c_str(), hold);
  std::fputs(Mode2Text(periods).c_str(), stdout);
  return 0;
}

}  // namespace

}  // namespace koru

using namespace koru;

int main(int argc, char** argv) {
  std::string folder;
  std::string remote_name;
  std::string key_label;
  std::string exact;
  long hold = 0;
  long jitter = 0;
  long seed = 1;
  bool trace = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      PrintHelp();
      return 0;
    } else if (arg == "--version") {
      std::printf("koru-encode (KORU) %s\n", KORU_VERSION);
      return 0;
    } else if (arg == "--trace") {
      trace = true;
    } else if (arg == "--remotes" && i + 1 < argc) {
      folder = argv[++i];
    } else if (arg == "--exact" && i + 1 < argc) {
      exact = argv[++i];
    } else if (arg == "--hold" && i + 1 < argc) {
      if (!ParseNumber(argv[++i], 0, 1000, &hold)) return Usage();
    } else if (arg == "--jitter" && i + 1 < argc) {
      if (!ParseNumber(argv[++i], 0, 1000, &jitter)) return Usage();
    } else if (arg == "--seed" && i + 1 < argc) {
      if (!ParseNumber(argv[++i], 0, 0xFFFFFFFFL, &seed)) return Usage();
    } else if (arg.size() > 2 && arg.rfind("--", 0) == 0) {
      std::fprintf(stderr, "koru-encode: unknown option %s\n", arg.c_str());
      return Usage();
    } else if (remote_name.empty()) {
      remote_name = arg;
    } else if (key_label.empty()) {
      key_label = arg;
    } else {
      return Usage();
    }
  }
  if (!exact.empty()) {
    if (!remote_name.empty() || !folder.empty()) return Usage();
    return EncodeExact(exact, hold, jitter, seed);
  }
  if (remote_name.empty() || key_label.empty()) return Usage();
  FILE* trace_stream = trace ? stderr : std::fopen("/dev/null", "w");
  SetTraceStream(trace_stream != nullptr ? trace_stream : stderr);

  const int32_t key_function = KeyFunctionOf(key_label);
  if (key_function == 0) {
    std::fprintf(stderr, "koru-encode: '%s' is no key label\n", key_label.c_str());
    return 1;
  }

  if (!folder.empty()) TraceRemoteFolder(folder);
  auto record = std::make_unique<RemoteDefinition>(folder);
  record->writes_index_ = false;  // only reads: the folder may be the user's
  bool known = false;
  RemoteList list;
  if (folder.empty())
    AppendBuiltinRemotes(&list);
  else
    record->LookForRemotes(&list);
  if (RemoteDefinition* found = RemoteDefinition::FindRemote(&list, remote_name)) {
    record->CopyFrom(*found);
    known = true;
  }
  if (!known) {
    std::fprintf(stderr, "koru-encode: no remote '%s'\n", remote_name.c_str());
    return 1;
  }

  // A key of an exact remote is sent as its exact code.
  if (record->IsExact()) {
    const std::optional<ExactCode> exact = record->ExactKey(key_function);
    if (!exact) {
      std::fprintf(stderr, "koru-encode: %s %s is not taught\n", remote_name.c_str(),
                   key_label.c_str());
      return 1;
    }
    return EncodeExact(ExactField(*exact), hold, jitter, seed);
  }
  const int32_t code = record->Slot(key_function - 50);
  KeyPress press;
  std::string why;
  if (EncodeKeyPress(record->header_, record->mode_, code, static_cast<int32_t>(hold), &press,
                     &why) != kOk) {
    std::fprintf(stderr, "koru-encode: %s %s cannot be sent: %s\n", remote_name.c_str(),
                 key_label.c_str(), why.c_str());
    return 1;
  }
  std::printf("# KORU remote %s key %s code %ld header %ld (%s, frames %ld)\n",
              record->name_.c_str(), eLabel[key_function], static_cast<long>(code),
              static_cast<long>(record->header_), FamilyName(FamilyOfHeader(record->header_)),
              static_cast<long>(press.frames));
  Jitter(static_cast<int32_t>(jitter), static_cast<uint32_t>(seed), &press.periods);
  std::fputs(Mode2Text(press.periods).c_str(), stdout);
  return 0;
}
