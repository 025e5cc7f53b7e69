#pragma once
// The preset editor: the fifty bindings of the current preset file on five tabs (one per
// remote group), a menu of the other preset files, "Restore" and "Save". The application
// opens it on 'PR_O' and keeps at most one; it is deleted when it closes, and then tells the
// application ('irRP' so that the main window rereads the file, then 'PR_Q').
//
// Every control sends its message to the window's handler (MessageReceived), so tests post
// 'PEVp', 'PR_s', 'chPF' ... and read back the fields, the buttons and the file.
#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/messaging/message.h"
#include "platform/messaging/rect.h"
#include "presets/preset_editor_controls.h"
#include "presets/preset_file.h"
#include "presets/save_question.h"

class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace koru {

class PresetPageView;
class PresetBindingView;
class Prefs;

class PresetEditorWindow : public QWidget, public Handler, public PresetEditorControls {
  Q_OBJECT
 public:
  // `settings` (may be null) gives the preset file's name and keeps the window's frame; the
  // preset files are in `remote_folder`.
  PresetEditorWindow(const Rect& frame, Prefs* settings, std::filesystem::path remote_folder);
  ~PresetEditorWindow() override;

  void MessageReceived(Message* message) override;
  void Activate() override;
  Messenger WindowMessenger() override { return GetMessenger(); }

  // Fills the preset-file menu with the files of the remote folder marked as presets.
  void ScanPresetFiles();
  // Fills the list from the current file (`reset`: unnamed slots become "-unset-").
  void LoadPresetList(bool reset);
  // Writes the current file; on failure says why and stays modified. True when written.
  bool SavePresetList();
  // One 'PEVp' edit request: "e_nr" the slot, "e_modus" what to do, "e_path" a dropped path.
  void DoWithPresetList(Message* message);
  // Labels the group tabs with the names of the remotes assigned to the groups.
  void SetTabLabels();

  bool IsModified() const { return modified_; }
  const PresetList& Presets() const { return *preset_list_; }
  const std::string& PresetName() const { return preset_name_; }
  PresetBindingView* Field(int slot) const { return fields_.at(static_cast<size_t>(slot)); }
  SaveQuestion& Question() { return question_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // A click on the preset name opens the preset-file menu too (a larger target than its arrow).
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTabs();
  void PlaceViews();
  void StoreFrame();
  void SetModified(bool modified);
  void ShowSlot(int slot);
  void ChoosePresetFile(const std::string& name);
  void SwitchPresetFile(const std::string& name);
  void MarkCurrentPresetFile();

  Prefs* settings_;
  const std::filesystem::path remote_folder_;
  std::string preset_name_;
  std::unique_ptr<PresetList> preset_list_;
  std::filesystem::path preset_path_;
  std::string clipboard_;
  bool modified_ = false;
  bool file_missing_ = false;
  bool close_confirmed_ = false;
  bool built_ = false;
  SaveQuestion question_;

  std::array<PresetBindingView*, 50> fields_{};
  std::array<PresetPageView*, 5> pages_{};
  QWidget* panel_ = nullptr;
  QLabel* name_view_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* save_ = nullptr;
  QMenu* preset_menu_ = nullptr;
  QToolButton* preset_field_ = nullptr;
  QTabWidget* tab_view_ = nullptr;
};

}  // namespace koru
