// Keys of LIRC configurations under timing jitter, per protocol: how many keep their exact code
// when every period moves by up to ±100 and ±200 us (uniformly, 10 presses a key), how many are
// misread (another code; apart: a code of another named protocol), and the remotes
// whose keys share a code without jitter. The signals are LIRC's transmitter's, as the import
// makes them (the same periods as irsimsend's); each press's first burst goes to the exact
// decoder.
//
//   exact_jitter [--verbose] [--codes] [FOLDER...]     (default: /usr/share/lirc/remotes)
// --verbose lists every press that was not read right on standard error, --codes each key's
// code without jitter.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "lirc/lirc_config.h"
#include "lirc/lirc_signal.h"
#include "receiver/exact/exact_decoder.h"

namespace koru {

namespace {

constexpr int32_t kPresses = 10;
constexpr int32_t kBurstEnd = 15000;

// The first burst of a press (a quiet period above 15 ms ends it), its end time.
std::optional<ExactCode> FirstCode(const std::vector<int32_t>& periods) {
  std::vector<int32_t> burst;
  int64_t time = 0, end = 0;
  for (size_t i = 0; i < periods.size(); ++i) {
    time += periods[i];
    if (i % 2 == 1 && periods[i] > kBurstEnd) break;
    burst.push_back(periods[i]);
    if (i % 2 == 0) end = time;
  }
  ExactDecoder decoder;
  return decoder.Burst(burst, end);
}

bool Named(ExactProtocol protocol) {
  return protocol != ExactProtocol::kPulseDistance && protocol != ExactProtocol::kBiphase &&
         protocol != ExactProtocol::kHash && protocol != ExactProtocol::kTimingHash;
}

struct Tally {
  int32_t keys = 0;
  int32_t right[2] = {0, 0};           // every press right, at 100 and 200 us
  int32_t misread[2] = {0, 0};         // a press with another code
  int32_t other_protocol[2] = {0, 0};  // a press with a code of another named protocol
};

}  // namespace

}  // namespace koru

using namespace koru;

int main(int argc, char** argv) {
  std::vector<std::string> folders;
  bool verbose = false;
  bool codes = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--verbose")
      verbose = true;
    else if (std::string(argv[i]) == "--codes")
      codes = true;
    else
      folders.push_back(argv[i]);
  }
  if (folders.empty()) folders.push_back("/usr/share/lirc/remotes");
  std::vector<std::string> files;
  for (const std::string& folder : folders)
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      const std::string leaf = entry.path().filename().string();
      if (entry.is_regular_file() && leaf.rfind("lircmd", 0) != 0 && leaf.rfind("lircrc", 0) != 0 &&
          leaf != "README")
        files.push_back(entry.path().string());
    }
  std::sort(files.begin(), files.end());
  std::mt19937 rng(2026);
  std::map<std::string, Tally> tallies;
  int32_t remotes = 0, shared_remotes = 0, no_code = 0;
  std::vector<std::string> shared;
  for (const std::string& file : files) {
    std::vector<LircRemote> parsed;
    if (ReadLircConfigFile(file, &parsed, nullptr, nullptr) != kOk) continue;
    for (const LircRemote& remote : parsed) {
      if (!LircSignalProblem(remote).empty() || remote.buttons.empty()) continue;
      ++remotes;
      std::map<std::string, std::set<std::string>> owners;  // code -> distinct LIRC codes
      for (const LircButton& button : remote.buttons) {
        std::vector<int32_t> periods;
        if (LircButtonSignal(remote, button, 0, &periods, nullptr) != kOk) continue;
        const std::optional<ExactCode> clean = FirstCode(periods);
        if (!clean) {
          if (codes)
            std::printf("%s %s %s: no code\n", file.c_str(), remote.name.c_str(),
                        button.name.c_str());
          ++no_code;
          continue;
        }
        std::string sent;
        for (const uint64_t c : button.codes) sent += std::to_string(c) + " ";
        for (const int32_t p : button.raw) sent += std::to_string(p) + " ";
        owners[ExactField(*clean)].insert(sent);
        if (codes)
          std::printf("%s %s %s: %s\n", file.c_str(), remote.name.c_str(), button.name.c_str(),
                      ExactField(*clean).c_str());
        Tally& tally = tallies[ExactProtocolName(clean->protocol)];
        ++tally.keys;
        for (int j = 0; j < 2; ++j) {
          std::uniform_int_distribution<int32_t> shift(-100 * (j + 1), 100 * (j + 1));
          bool right = true, misread = false, other = false;
          for (int32_t n = 0; n < kPresses; ++n) {
            std::vector<int32_t> shaken = periods;
            for (int32_t& p : shaken) p = std::max(1, p + shift(rng));
            const std::optional<ExactCode> code = FirstCode(shaken);
            if (code && code->SameKey(*clean)) continue;
            right = false;
            if (verbose)
              std::fprintf(stderr, "%d %s %s %s: %s read as %s\n", 100 * (j + 1), file.c_str(),
                           remote.name.c_str(), button.name.c_str(), ExactField(*clean).c_str(),
                           code ? ExactField(*code).c_str() : "nothing");
            if (code) misread = true;
            if (code && code->protocol != clean->protocol && Named(code->protocol)) other = true;
          }
          tally.right[j] += right;
          tally.misread[j] += misread;
          tally.other_protocol[j] += other;
        }
      }
      for (const auto& [code, sent] : owners)
        if (sent.size() > 1) {
          shared.push_back(file + " " + remote.name + ": " + code + " for " +
                           std::to_string(sent.size()) + " keys");
        }
      if (std::any_of(owners.begin(), owners.end(),
                      [](const auto& o) { return o.second.size() > 1; }))
        ++shared_remotes;
    }
  }
  std::printf("%-9s %5s %8s %8s %8s %8s %8s %8s\n", "protocol", "keys", "right100", "right200",
              "mis100", "mis200", "other100", "other200");
  Tally all;
  for (const auto& [name, t] : tallies) {
    std::printf("%-9s %5d %8d %8d %8d %8d %8d %8d\n", name.c_str(), t.keys, t.right[0], t.right[1],
                t.misread[0], t.misread[1], t.other_protocol[0], t.other_protocol[1]);
    all.keys += t.keys;
    for (int j = 0; j < 2; ++j) {
      all.right[j] += t.right[j];
      all.misread[j] += t.misread[j];
      all.other_protocol[j] += t.other_protocol[j];
    }
  }
  std::printf("%-9s %5d %8d %8d %8d %8d %8d %8d\n", "all", all.keys, all.right[0], all.right[1],
              all.misread[0], all.misread[1], all.other_protocol[0], all.other_protocol[1]);
  std::printf("remotes %d, keys without a code %d, remotes with a shared code %d\n", remotes,
              no_code, shared_remotes);
  for (const std::string& line : shared) std::printf("  %s\n", line.c_str());
  return 0;
}
