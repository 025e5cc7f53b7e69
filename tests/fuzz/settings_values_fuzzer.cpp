// Settings values as stored attributes: the input is cut into one value per key, the store
// reads them all, and every field must come out usable.
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "platform/files/memory_node.h"
#include "settings/prefs.h"

namespace koru {

namespace {

const char* const kKeys[] = {
    "rs232_port",        "ir_logfile",      "use_splitting",  "use_pimped",     "show_pulse",
    "hold_irInfo",       "use_systemsound", "all_workspaces", "use_DualButton", "Desktop",
    "Application",       "Audio",           "Video",          "Presetfile",     "Layoutfile",
    "prefs_window_rect", "vr_window_rect",  "pr_window_rect", "lt_window_rect", "window_by_begin",
    "use_ompl",          "window_mtab",     "PRIORITY",       "LAST_PLAY",      "LINK_SIZE"};

void CheckFrame(const Rect& frame) {
  for (float value : {frame.left, frame.top, frame.right, frame.bottom})
    FUZZ_CHECK(std::isfinite(value) && std::fabs(value) <= 32767);
  FUZZ_CHECK(frame.left <= frame.right && frame.top <= frame.bottom);
}

}  // namespace

}  // namespace koru

using namespace koru;

// Input: values separated by the byte 0xFF, in the order of the keys; a missing value leaves
// its key out of the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QuietTrace();
  auto node = std::make_shared<MemoryNode>();
  size_t start = 0;
  for (const char* key : kKeys) {
    if (start > size) break;
    const uint8_t* end = static_cast<const uint8_t*>(std::memchr(data + start, 0xFF, size - start));
    const size_t stop = end ? static_cast<size_t>(end - data) : size;
    node->SetValue(key, std::vector<uint8_t>(data + start, data + stop));
    start = stop + 1;
  }
  Prefs prefs(node);
  // Every text ends within its field.
  for (const auto& [text, size] : std::initializer_list<std::pair<const char*, size_t>>{
           {prefs.rs232_port, sizeof prefs.rs232_port},
           {prefs.ir_logfile, sizeof prefs.ir_logfile},
           {prefs.Desktop, 80},
           {prefs.Application, 80},
           {prefs.Audio, 80},
           {prefs.Video, 80},
           {prefs.Presetfile, 80},
           {prefs.Layoutfile, 80}})
    FUZZ_CHECK(std::memchr(text, '\0', size) != nullptr);
  for (const Rect* frame : {&prefs.prefs_window_rect, &prefs.vr_window_rect, &prefs.pr_window_rect,
                            &prefs.lt_window_rect})
    CheckFrame(*frame);
  FUZZ_CHECK(prefs.PRIORITY >= 1 && prefs.PRIORITY <= 120);
  FUZZ_CHECK(prefs.LAST_PLAY >= 0);
  FUZZ_CHECK(prefs.LINK_SIZE >= 0);
  FUZZ_CHECK(prefs.Save());
  return 0;
}
