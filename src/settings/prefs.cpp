#include "settings/prefs.h"

#include <cmath>
#include <cstring>
#include <fstream>

#include "platform/files/file_node.h"
#include "platform/files/paths.h"
#include "platform/files/safe_file.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr Rect kPrefsWindowRect{60, 100, 760, 300};
constexpr Rect kVrWindowRect{40, 40, 600, 600};
constexpr Rect kPrWindowRect{40, 40, 640, 355};
constexpr Rect kLtWindowRect{326, 45, 912, 652};

// Window frames are screen coordinates: X11 keeps them in 16 bits.
constexpr float kLargestCoordinate = 32767;
// Thread priorities run from 1 (lowest) to 120 (real time).
constexpr int32_t kLowestPriority = 1;
constexpr int32_t kHighestPriority = 120;
// The media list's size modes; anything far beyond is not a mode.
constexpr int32_t kLargestLinkSize = 100;

bool IsFrame(const float (&values)[4]) {
  for (float value : values)
    if (!std::isfinite(value) || std::fabs(value) > kLargestCoordinate) return false;
  return values[0] <= values[2] && values[1] <= values[3];
}

std::shared_ptr<AttributeNode> SettingsFileNode() {
  const std::filesystem::path folder = SettingsFolder();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  const std::filesystem::path file = folder / kSettingsFileName;
  // The folder is shared with other programs: only our own leftovers go.
  RemoveLeftoverTemporaries(folder, kSettingsFileName);
  // Created when missing; a file that cannot be created makes every read and write fail.
  std::ofstream(file, std::ios::app).close();
  return std::make_shared<FileNode>(file);
}

}  // namespace

std::unique_ptr<Prefs> Prefs::OpenSettingsFile() {
  return std::make_unique<Prefs>(SettingsFileNode());
}

void Prefs::CopyText(char* buffer, size_t size, const char* text) {
  if (size == 0) return;
  const size_t length = text ? std::min(std::strlen(text), size - 1) : 0;
  if (length > 0) std::memcpy(buffer, text, length);
  buffer[length] = '\0';
}

Prefs::Prefs(std::shared_ptr<AttributeNode> node)
    : use_splitting(false),
      use_pimped(false),
      show_pulse(false),
      hold_irInfo(false),
      use_systemsound(false),
      all_workspaces(false),
      use_DualButton(false),
      prefs_window_rect(kPrefsWindowRect),
      vr_window_rect(kVrWindowRect),
      pr_window_rect(kPrWindowRect),
      lt_window_rect(kLtWindowRect),
      window_by_begin(false),
      use_ompl(false),
      window_mtab(false),
      classic_timing(false),
      lircd_socket(false),
      PRIORITY(40),
      LAST_PLAY(0),
      LINK_SIZE(1),
      node_(std::move(node)) {
  SetText(rs232_port, "serial0");
  SetText(ir_logfile, "/boot/home/_logfile_KORU_");
  for (char* group : {Desktop, Application, Audio, Video}) CopyText(group, 80, "-empty-");
  SetText(Presetfile, "_preset_");
  SetText(Layoutfile, "_LAYOUT_");
  SetText(spare_, "-empty-");
  if (!node_ || node_->InitCheck() != kOk) error_ = true;
  LoadPrefs();
}

Prefs::~Prefs() {
  Save();
}

bool Prefs::LoadPrefs() {
  bool ok = GetStr("rs232_port", rs232_port, sizeof rs232_port, "serial0") &&
            GetStr("ir_logfile", ir_logfile, sizeof ir_logfile, "/boot/home/_logfile_KORU_") &&
            GetBool("use_splitting", &use_splitting, false) &&
            GetBool("use_pimped", &use_pimped, false) &&
            GetBool("show_pulse", &show_pulse, false) &&
            GetBool("hold_irInfo", &hold_irInfo, false) &&
            GetBool("use_systemsound", &use_systemsound, false) &&
            GetBool("all_workspaces", &all_workspaces, false) &&
            GetBool("use_DualButton", &use_DualButton, false) &&
            GetStr("Desktop", Desktop, sizeof Desktop, "-empty-") &&
            GetStr("Application", Application, sizeof Application, "-empty-") &&
            GetStr("Audio", Audio, sizeof Audio, "-empty-") &&
            GetStr("Video", Video, sizeof Video, "-empty-") &&
            GetStr("Presetfile", Presetfile, sizeof Presetfile, "_preset_") &&
            GetStr("Layoutfile", Layoutfile, sizeof Layoutfile, "_LAYOUT_") &&
            GetRect("prefs_window_rect", &prefs_window_rect, kPrefsWindowRect) &&
            GetRect("vr_window_rect", &vr_window_rect, kVrWindowRect) &&
            GetRect("pr_window_rect", &pr_window_rect, kPrWindowRect) &&
            GetRect("lt_window_rect", &lt_window_rect, kLtWindowRect) &&
            GetBool("window_by_begin", &window_by_begin, false) &&
            GetBool("use_ompl", &use_ompl, false) && GetBool("window_mtab", &window_mtab, false) &&
            GetBool("classic_timing", &classic_timing, false) &&
            GetBool("lircd_socket", &lircd_socket, false);
  if (ok && !GetInt("PRIORITY", &PRIORITY, 40, kLowestPriority, kHighestPriority)) {
    PRIORITY = 40;
    ok = false;
  }
  if (ok && !GetInt("LAST_PLAY", &LAST_PLAY, 0, 0, INT32_MAX)) {
    LAST_PLAY = 0;
    ok = false;
  }
  if (ok && !GetInt("LINK_SIZE", &LINK_SIZE, 1, 0, kLargestLinkSize)) {
    LINK_SIZE = 1;
    ok = false;
  }
  if (!ok) error_ = true;
  return ok;
}

bool Prefs::Save() {
  return PutBool("use_splitting", use_splitting) && PutBool("use_pimped", use_pimped) &&
         PutBool("show_pulse", show_pulse) && PutBool("hold_irInfo", hold_irInfo) &&
         PutBool("use_systemsound", use_systemsound) && PutBool("all_workspaces", all_workspaces) &&
         PutBool("use_DualButton", use_DualButton) && PutStr("Desktop", Desktop) &&
         PutStr("Application", Application) && PutStr("Audio", Audio) && PutStr("Video", Video) &&
         PutStr("Presetfile", Presetfile) && PutStr("Layoutfile", Layoutfile) &&
         PutRect("prefs_window_rect", prefs_window_rect) &&
         PutRect("vr_window_rect", vr_window_rect) && PutRect("pr_window_rect", pr_window_rect) &&
         PutRect("lt_window_rect", lt_window_rect) && PutStr("rs232_port", rs232_port) &&
         PutStr("ir_logfile", ir_logfile) && PutBool("window_by_begin", window_by_begin) &&
         PutBool("use_ompl", use_ompl) && PutBool("window_mtab", window_mtab) &&
         PutBool("classic_timing", classic_timing) && PutBool("lircd_socket", lircd_socket) &&
         PutInt("LAST_PLAY", LAST_PLAY) && PutInt("LINK_SIZE", LINK_SIZE) &&
         PutInt("PRIORITY", PRIORITY);
}

bool Prefs::CreateDefault(const char* key, type_code type, const void* data, size_t size) {
  if (node_ && node_->WriteAttr(key, type, 0, data, size) >= 0) return true;
  Trace("WriteAttr on %s died", key);
  error_ = true;
  return false;
}

bool Prefs::ReadFailed(const char* key, ssize_t status) {
  Trace("Unknown error reading %s:\n%s\n", key, StatusText(static_cast<status_t>(status)).c_str());
  error_ = true;
  return false;
}

void Prefs::OutOfRange(const char* key) {
  Trace("%s out of range: default used\n", key);
}

bool Prefs::GetInt(const char* key, int32_t* field, int32_t fallback, int32_t lowest,
                   int32_t highest) {
  int32_t value = *field;
  const ssize_t got = node_ ? node_->ReadAttr(key, kInt32Type, 0, &value, sizeof value) : kNoDevice;
  if (got == kEntryNotFound) {
    *field = fallback;
    return CreateDefault(key, kInt32Type, field, sizeof *field);
  }
  if (got < 0) return ReadFailed(key, got);
  if (value < lowest || value > highest) {
    OutOfRange(key);
    value = fallback;
  }
  *field = value;
  return true;
}

bool Prefs::GetBool(const char* key, bool* field, bool fallback) {
  uint8_t byte = *field ? 1 : 0;  // read as a byte: a stored value other than 0 and 1 is true
  const ssize_t got = node_ ? node_->ReadAttr(key, kBoolType, 0, &byte, 1) : kNoDevice;
  if (got == kEntryNotFound) {
    *field = fallback;
    byte = fallback ? 1 : 0;
    return CreateDefault(key, kBoolType, &byte, 1);
  }
  if (got < 0) return ReadFailed(key, got);
  *field = byte != 0;
  return true;
}

bool Prefs::GetRect(const char* key, Rect* field, const Rect& fallback) {
  float values[4] = {field->left, field->top, field->right, field->bottom};
  const ssize_t got = node_ ? node_->ReadAttr(key, kRectType, 0, values, sizeof values) : kNoDevice;
  if (got == kEntryNotFound) {
    *field = fallback;
    const float defaults[4] = {fallback.left, fallback.top, fallback.right, fallback.bottom};
    return CreateDefault(key, kRectType, defaults, sizeof defaults);
  }
  if (got < 0) return ReadFailed(key, got);
  if (!IsFrame(values)) {
    OutOfRange(key);
    *field = fallback;
    return true;
  }
  *field = Rect{values[0], values[1], values[2], values[3]};
  return true;
}

bool Prefs::GetStr(const char* key, char* buffer, size_t size, const char* fallback) {
  if (size == 0) return false;
  // Never more than the buffer holds, and always a zero byte at the end.
  const ssize_t got = node_ ? node_->ReadAttr(key, kStringType, 0, buffer, size - 1) : kNoDevice;
  if (got == kEntryNotFound) {
    CopyText(buffer, size, fallback);
    return CreateDefault(key, kStringType, buffer, std::strlen(buffer) + 1);
  }
  if (got < 0) return ReadFailed(key, got);
  buffer[got] = '\0';
  return true;
}

bool Prefs::Write(const char* key, type_code type, const void* data, size_t size) {
  const ssize_t wrote = node_ ? node_->WriteAttr(key, type, 0, data, size) : kNoDevice;
  if (wrote >= 0) return true;
  Trace("Unknown error writing %s:\n%s\n", key, StatusText(static_cast<status_t>(wrote)).c_str());
  error_ = true;
  return false;
}

bool Prefs::PutInt(const char* key, int32_t field) {
  return Write(key, kInt32Type, &field, sizeof field);
}

bool Prefs::PutBool(const char* key, bool field) {
  const uint8_t byte = field ? 1 : 0;
  return Write(key, kBoolType, &byte, 1);
}

bool Prefs::PutRect(const char* key, const Rect& field) {
  const float values[4] = {field.left, field.top, field.right, field.bottom};
  return Write(key, kRectType, values, sizeof values);
}

bool Prefs::PutStr(const char* key, const char* buffer) {
  return Write(key, kStringType, buffer, std::strlen(buffer) + 1);
}

}  // namespace koru
