#pragma once
// The key router: from a receiver report to a key function, and on to a preset or an action;
// the remote groups and splitting; the teach-in. It owns the routing state (remote list, teach
// remote, group remotes, presets, skip and media-list modes, hysteresis) and decides; what the
// user sees goes through a RoutingView, what the desktop should do is posted as actions, and
// what other windows must hear is sent to the application object. It never touches a widget.
//
//   KeyRouter router({&view, prefs, post_to_action_thread, send_to_application, &slowdown,
//                     key_listener, remote_folder});
//   router.LoadRemoteLibrary();
//   router.Start();               // menus, switches, presets
//   router.HandleMessage(&message);   // every message of the main window, first
//   router.HandleReport(report);      // every report of the receiver session
//
// Everything runs on the GUI thread; only the slow-down flag is shared with the receiver.
#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "actions/action_thread.h"
#include "platform/desktop/desktop.h"
#include "platform/messaging/message.h"
#include "presets/preset_file.h"
#include "receiver/receiver_report.h"
#include "remotes/key_match.h"
#include "remotes/remote_definition.h"
#include "routing/recognised_key_listener.h"
#include "routing/routing_view.h"

namespace koru {

class Prefs;

class KeyRouter {
 public:
  using Post = std::function<void(ActionThread::Action)>;
  using Send = std::function<void(const Message&)>;
  struct Links {
    RoutingView* view = nullptr;
    Prefs* settings = nullptr;  // may be null: defaults apply
    Post post;                  // runs an action after every action posted before it
    Send send;                  // to the application object
    // Set after a short code; the receiver thread reads it and clears it after each report.
    std::atomic<bool>* slowdown = nullptr;
    // Hears every recognised key and remote list; may be null.
    RecognisedKeyListener* keys = nullptr;
    // The remote files, the preset files and the charts are here.
    std::filesystem::path remote_folder;
  };

  explicit KeyRouter(Links links);
  KeyRouter(const KeyRouter&) = delete;
  KeyRouter& operator=(const KeyRouter&) = delete;

  // The remote library: loading and classifying at start-up, rescanning, releasing.
  void LoadRemoteLibrary();
  void ReleaseRemoteLibrary();
  void RescanRemotes();
  void WriteCodeChart();
  // Imports the remotes of LIRC configuration files into the remote folder and, as the end of
  // a teach-in does, rescans it and rebuilds the menus and the chart (key_router_lirc.cpp).
  // Returns the report; refused while a remote is taught.
  std::string ImportLircFiles(const std::vector<std::string>& files);
  // The same in three steps, so that the work can leave the GUI thread: Begin (GUI thread)
  // rests the receiver, or gives why no import may start now; Work (any thread, touches no
  // router state) reads the files and writes the remote files into `remote_folder` (the
  // router's), calling `progress` after each file; Finish (GUI thread) rescans and rebuilds as
  // above, and gives the report.
  // The same steps import the kernel's keymap files (`keymaps`).
  struct LircImportWork {
    std::string text;
    int32_t imported = 0;
    bool keymaps = false;
  };
  std::string BeginLircImport();
  static LircImportWork WorkLircImport(const std::vector<std::string>& files,
                                       const std::filesystem::path& remote_folder,
                                       const std::function<void(size_t done)>& progress = {},
                                       bool keymaps = false);
  std::string FinishLircImport(const LircImportWork& work);

  // Fills the remote menus and the switches and reads the current presets.
  void Start();

  // Handles a message of the main window; false for codes that are not the routing's.
  bool HandleMessage(Message* message);
  // A report of the receiver; skipped after a 'TICK', as a message would be.
  void HandleReport(const ReceiverReport& report);
  // A receiver thread was turned away because another one scans: said as a missing port.
  void HandleReceiverTurnedAway();

  // Key routing.
  void RouteReceiverReport(const ReceiverReport& report);
  int32_t IsDeviceKey(int32_t header, int32_t byte2, int32_t byte3);
  // Exact remotes first; a code none of them holds goes on to the classic matching when the
  // report has a classic code (`classic`, with its header and bytes).
  int32_t IsExactKey(const ExactCode& code, bool classic, int32_t header, int32_t byte2,
                     int32_t byte3);
  int32_t DoWithPresetList(int32_t index);
  void DoWithApp(int32_t keyfn);
  void ToggleHysteresis(bool show_only);
  void ToggleContinuous(bool show_only);
  void ChangeWorkspaceMode();
  void SetPresetList(bool reload, bool edit);

  // Remote groups and splitting.
  int32_t DoWithRemote(const RemoteDefinition* record, int32_t keyfn);
  void ReloadRemoteMenu(int32_t kind);
  void ResetRemSplit();
  void StoreDefRemote(Message* message);
  void ChangeSplitting();

  // Teach-in.
  // The teach box's header field: what to type there, or where an exact remote's comes from.
  void ShowHeaderHint(bool exact, const char* classic_hint);
  // `exact`: the exact code of a key received in teach mode ('nRtb'), if it has one.
  void TeachingRemote(Message* message, int32_t header, int32_t key_value, int32_t byte2,
                      int32_t byte3, const ExactCode* exact = nullptr);
  bool Teaching() const { return teaching_; }

  RemoteList& Remotes() { return remote_list_; }
  const RemoteDefinition* GroupRemote(int group) const { return group_remote_[group]; }
  const PresetList* Presets() const { return preset_list_.get(); }
  RemoteDefinition& TeachRemote() { return *teach_remote_; }
  bool MediaListMode() const { return media_list_mode_; }
  bool SkipFlag() const { return skip_; }
  bool Hysteresis() const { return hysteresis_; }

 private:
  void NoPortReport();
  void ShowMatch(const KeyMatch& match, const std::string& value);
  int32_t RouteKey(const KeyMatch& match);
  void GlobalKeys(int32_t keyfn);
  void MoveMouse(int32_t keyfn, int menu_offset);
  void MuteSound();
  void ApplySplitting();
  void SendToApp(uint32_t what);
  void SendToApp(const Message& message);
  bool Splitting() const;
  void TellRemotesChanged();

  Links links_;
  RoutingView& view_;
  Prefs* settings_;

  RemoteList remote_list_;
  std::unique_ptr<RemoteDefinition> teach_remote_;
  const RemoteDefinition* group_remote_[5] = {};  // workspace, desktop, application, audio, video
  // The labels of each group menu as last built, by item index (the separator is empty).
  std::array<std::vector<std::string>, 5> group_items_;
  std::unique_ptr<PresetList> preset_list_;
  bool skip_ = false;
  bool media_list_mode_ = false;
  bool hysteresis_ = false;
  bool teaching_ = false;
  bool importing_lirc_ = false;
  bool lirc_import_resumes_ = false;  // the receiver ran continuously before the import
  bool quit_warned_ = false;          // "Quit" was pressed once on a taught, unnamed remote
  int32_t number_accumulator_ = 0;
  int32_t teach_code_ = 0;
  std::optional<ExactCode> teach_exact_;  // the exact code last received in teach mode
  bool teach_waiting_ = false;  // teach_exact_ is waiting under "goes to:" for its function
  const RemoteDefinition* recognised_ =
      nullptr;  // the remote of the key IsDeviceKey last recognised
  std::shared_ptr<AppInfo> app_info_ = std::make_shared<AppInfo>();
};

}  // namespace koru
