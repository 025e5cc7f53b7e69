#pragma once
// The settings store. Each setting is a typed attribute of the settings file "_KORU_Beta027" in
// the settings folder; all keys are read when the object is created and written back on Save()
// and on destruction. The program opens one and hands it to every window and view that needs
// it; they read and change the fields directly (all windows run on the GUI thread).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/files/attribute_node.h"
#include "platform/messaging/rect.h"

namespace koru {

inline constexpr const char* kSettingsFileName = "_KORU_Beta027";

class Prefs {
 public:
  // The store on the settings file of the settings folder (created when missing), loaded.
  static std::unique_ptr<Prefs> OpenSettingsFile();

  // A settings object on any attribute node (tests); OpenSettingsFile uses the settings file.
  explicit Prefs(std::shared_ptr<AttributeNode> node);
  virtual ~Prefs();
  Prefs(const Prefs&) = delete;
  Prefs& operator=(const Prefs&) = delete;

  bool LoadPrefs();
  bool Save();

  // A stored value outside lowest..highest reads as the fallback (so does a rectangle that is
  // no window frame: not finite, beyond the screen's coordinates, or turned inside out).
  bool GetInt(const char* key, int32_t* field, int32_t fallback, int32_t lowest = INT32_MIN,
              int32_t highest = INT32_MAX);
  bool GetBool(const char* key, bool* field, bool fallback);
  bool GetRect(const char* key, Rect* field, const Rect& fallback);
  // `size` is the buffer's size: at most size - 1 characters are kept, always zero-terminated.
  bool GetStr(const char* key, char* buffer, size_t size, const char* fallback);
  bool PutInt(const char* key, int32_t field);
  bool PutBool(const char* key, bool field);
  bool PutRect(const char* key, const Rect& field);
  bool PutStr(const char* key, const char* buffer);

  // Copies text into one of the text fields, cut to fit.
  template <size_t N>
  static void SetText(char (&field)[N], const char* text) {
    CopyText(field, N, text);
  }
  static void CopyText(char* buffer, size_t size, const char* text);

  bool HadError() const { return error_; }

  char rs232_port[80];
  char ir_logfile[64];
  bool use_splitting;
  bool use_pimped;
  bool show_pulse;
  bool hold_irInfo;
  bool use_systemsound;
  bool all_workspaces;
  bool use_DualButton;
  char Desktop[80];
  char Application[80];
  char Audio[80];
  char Video[80];
  char Presetfile[80];
  char Layoutfile[80];
  Rect prefs_window_rect;
  Rect vr_window_rect;
  Rect pr_window_rect;
  Rect lt_window_rect;
  bool window_by_begin;
  bool use_ompl;
  bool window_mtab;
  // The receiver's classic evaluation instead of the burst evaluation; read at thread start.
  bool classic_timing;
  // Serve LIRC clients on the lircd socket ($XDG_RUNTIME_DIR/koru/lircd).
  bool lircd_socket;
  int32_t PRIORITY;
  int32_t LAST_PLAY;
  int32_t LINK_SIZE;
  // A spare text that is kept in memory only.
  char spare_[80];

 private:
  bool ReadFailed(const char* key, ssize_t status);
  static void OutOfRange(const char* key);
  bool CreateDefault(const char* key, type_code type, const void* data, size_t size);
  bool Write(const char* key, type_code type, const void* data, size_t size);

  std::shared_ptr<AttributeNode> node_;
  bool error_ = false;
};

}  // namespace koru
