// Per-press figures of the receiver for every built-in key, burst evaluation against classic,
// on a virtual clock (no real time passes, the figures do not depend on the machine):
//   - recognised: the press gives its key (matched against its own remote) as first report;
//   - press to report: from the press's first edge to that report;
//   - last edge to report: from the last level change before that report to the report (the
//     classic evaluation reports at a change: its 7th wall or 67th period).
// Each key is sent as one frame alone and as koru-encode's press (the frames a short press of
// its family sends). Prints one line per family and evaluation, and the totals.
#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/lines/mode2_recording.h"
#include "platform/messaging/trace.h"
#include "receiver/replay_session.h"
#include "remotes/builtin_remotes.h"
#include "remotes/frame_encoder.h"
#include "remotes/key_match.h"
#include "remotes/remote_definition.h"

namespace koru {

namespace {

constexpr int32_t kWall = 10000;

struct Figures {
  int presses = 0;
  int recognised = 0;
  std::vector<double> latency_ms;
  std::vector<double> press_ms;
};

std::vector<int32_t> FirstFrame(const std::vector<int32_t>& periods) {
  for (size_t i = 1; i < periods.size(); i += 2)
    if (periods[i] > kWall) return {periods.begin(), periods.begin() + i + 1};
  return periods;
}

// One press after 300 ms of quiet, then a second of quiet.
void Measure(const RemoteDefinition& remote, int32_t key_function,
             const std::vector<int32_t>& periods, Evaluation evaluation, Figures* figures) {
  Mode2Recording recording;
  AppendMode2(&recording, false, 300000);
  std::vector<bigtime_t> edges;  // times of the level changes on the replay's clock
  bigtime_t time = kReplayLeadIn + 300000;
  for (size_t i = 0; i < periods.size(); ++i) {
    AppendMode2(&recording, i % 2 == 0, static_cast<uint64_t>(periods[i]));
    edges.push_back(time);
    time += periods[i];
  }
  AppendMode2(&recording, false, 1000000);
  edges.push_back(time);

  RemoteList alone;
  alone.push_back(std::make_unique<RemoteDefinition>());
  alone.back()->CopyFrom(remote);
  bool first = true;
  ++figures->presses;
  ReplayThroughReceiver(
      recording,
      [&](bigtime_t at, const ReceiverReport& report) {
        if (!first || report.family == 0) return;
        first = false;
        KeyMatch match;
        if (!MatchCodeText(alone, report.code, false, &match) || match.key_function != key_function)
          return;
        ++figures->recognised;
        const auto last = std::upper_bound(edges.begin(), edges.end(), at);
        if (last != edges.begin())
          figures->latency_ms.push_back(static_cast<double>(at - *(last - 1)) / 1000.0);
        figures->press_ms.push_back(static_cast<double>(at - edges.front()) / 1000.0);
      },
      evaluation);
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<size_t>(p * static_cast<double>(values.size() - 1))];
}

void Print(const std::string& name, const Figures& f) {
  std::printf("%-20s %4d/%-4d  %7.1f %7.1f %7.1f   %7.1f %7.1f %7.1f\n", name.c_str(), f.recognised,
              f.presses, Percentile(f.press_ms, 0.5), Percentile(f.press_ms, 0.9),
              Percentile(f.press_ms, 1.0), Percentile(f.latency_ms, 0.5),
              Percentile(f.latency_ms, 0.9), Percentile(f.latency_ms, 1.0));
}

}  // namespace

}  // namespace koru

using namespace koru;

int main() {
  FILE* devnull = std::fopen("/dev/null", "w");
  SetTraceStream(devnull);
  RemoteList builtin;
  AppendBuiltinRemotes(&builtin);
  const char* kinds[] = {"one frame", "press"};
  const Evaluation evaluations[] = {Evaluation::kBurst, Evaluation::kClassic};
  for (int kind = 0; kind < 2; ++kind) {
    std::printf(
        "\n%s: recognised as first report; ms from the press and from the last edge "
        "to the report (p50 p90 max)\n",
        kinds[kind]);
    for (const Evaluation evaluation : evaluations) {
      std::map<std::string, Figures> per_family;
      Figures total;
      for (const auto& remote : builtin) {
        const char* family = FamilyName(FamilyOfHeader(remote->header_));
        for (int32_t k = 1; k < kKeySlots; ++k) {
          KeyPress press;
          if (remote->Slot(k) <= 0 || EncodeKeyPress(remote->header_, remote->mode_,
                                                     remote->Slot(k), 0, &press, nullptr) != kOk)
            continue;
          const std::vector<int32_t> periods =
              kind == 0 ? FirstFrame(press.periods) : press.periods;
          Figures one;
          Measure(*remote, 50 + k, periods, evaluation, &one);
          for (Figures* f : {&per_family[family], &total}) {
            f->presses += one.presses;
            f->recognised += one.recognised;
            f->latency_ms.insert(f->latency_ms.end(), one.latency_ms.begin(), one.latency_ms.end());
            f->press_ms.insert(f->press_ms.end(), one.press_ms.begin(), one.press_ms.end());
          }
        }
      }
      const std::string name = evaluation == Evaluation::kBurst ? "burst" : "classic";
      for (const auto& [family, figures] : per_family) Print(name + " " + family, figures);
      Print(name + " all", total);
    }
  }
  SetTraceStream(nullptr);
  std::fclose(devnull);
  return 0;
}
