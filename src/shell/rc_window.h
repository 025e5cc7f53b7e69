#pragma once
// The main window: log view, compact view, the receiver view, the key display, the splitting
// box with the group menus, the teach box, the menu bar and the settings page. Every control
// sends its message to the window's own handler; the application relays the receiver's
// messages here.
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/action_thread.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/desktop_services.h"
#include "platform/message.h"
#include "platform/rect.h"
#include "presets/preset_file.h"
#include "remotes/remote_cl.h"

class QCheckBox;
class QGroupBox;
class QMenu;
class QPushButton;
class QScrollArea;
class QSlider;
class QTextEdit;
class MenuField;
class TextControl;
class Prefs;
class sPulseView;
class WindowIndicators;

class RcWindow : public QMainWindow, public Handler {
  Q_OBJECT
 public:
  explicit RcWindow(const Rect& frame);
  ~RcWindow() override;

  void MessageReceived(Message* message) override;
  bool QuitRequested();

  // Folders in the program folder, the remote library, the origin check.
  void Enviroment();

  // Modes and appearance.
  void ChangeMiniview();
  void UsePimpColors();
  void UseAltDesign(int variant);
  void AboutRequested();
  void ToplistWinMsg(const Message* message);
  void AddOptionalByWinKey(const Message* message);
  void AddSettingsView();

  // The window's pulse (drives the receiver view); 250000 us normally, 750000 in slow-down.
  void SetPulseRate(bigtime_t rate);
  bigtime_t PulseRate() const { return fPulseRate; }

  bool MiniViewShowing() const;
  bool SettingsPageShowing() const;
  QWidget* SettingsView() const { return fSettView; }
  sPulseView* PulseView() const { return fPulseView; }
  // Key routing: receiver reports to key functions to actions.
  void ShowCheckedEnd(Message* message);
  int32_t IsDeviceKey(int32_t header, int32_t byte2, int32_t byte3);
  int32_t DoWithPresetList(int32_t index);
  void DoWithApp(int32_t keyfn);
  void ChangeHysterese(bool show_only);
  void ChangeContinue(bool show_only);
  void ChangeWorkspaceMode();
  void SetPresetList(bool reload, bool edit);

  // Remote groups and splitting.
  int32_t DoWithRemote(const RemoteCL* record, int32_t keyfn);
  void ReloadRemoteMenu(QMenu* menu, int32_t kind, MenuField* field);
  void ResetRemSplit();
  void StoreDefRemote(Message* message);
  void ChangeSplitting();

  // Teach-in.
  void TeachingRemote(Message* message, int32_t header, int32_t key_value, int32_t byte2,
                      int32_t byte3);
  bool Teaching() const;

  // Writes the code chart of all known remotes next to the key chart.
  void WriteCodeChart();

  RemoteList& Remotes() { return fRemoteList; }
  const RemoteCL* GroupRemote(int group) const { return fGroupRemote[group]; }
  const PresetList* Presets() const { return fPresetList.get(); }
  RemoteCL& TeachRemote() { return *fTeachRemote; }
  bool MediaListMode() const { return fMediaListMode; }
  bool SkipFlag() const { return fSkip; }
  // Runs an action on the action thread, after every action posted before it.
  void RunAction(ActionThread::Action action);
  // Blocks until the action thread has run everything posted so far.
  void WaitForActions();

  // Where the actions act: the desktop's services by default; tests and the test hook of the
  // program put fakes here. Set before the window is built.
  static void SetServicesFactory(std::function<DesktopServices()> factory);
  // Runs on the action thread after every action (the program's test hook traces fake calls).
  static void SetAfterActionHook(std::function<void()> hook);

  // The receiver for this run only (--port), and quitting once a recording has played.
  static void SetPortForThisRun(const std::string& name, bool exit_after_replay);
  static std::vector<std::string> SystemPorts();
  // The serial devices the settings page offers ("serial1", "usb0", "lirc0", ...).
  void SetPortLister(std::function<std::vector<std::string>()> lister) {
    fListPorts = std::move(lister);
  }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Receiver, routing and remote library pieces (defined beside their subsystems).
  bool HandleRoutingMessage(Message* message);
  bool HandleReceiverMessage(Message* message);
  void BuildReceiverView();
  void PlaceContinueBox();
  void NoPortReport();
  bool ActionsIdle();
  void OnPulse();
  void LoadRemoteLibrary();
  void ReleaseRemoteLibrary();
  void ShutdownActions();
  void InsertLog(const QString& line);

  void BuildMenus();
  void BuildPanel();
  void BuildControls();
  void BuildTeachMenu();
  void StopReceiverForShutdown();
  void StoreFrame();
  void SetSizeLimits(int min_width, int max_width, int min_height, int max_height);
  void EnableMenuCommands(bool enable, std::initializer_list<uint32_t> codes);
  int MenuBarHeight() const;

  void BuildActions();
  void RescanRemotes();
  void ApplyWorkspaceMode();
  void RoutingMessage(Message* message, bool* handled);
  void GlobalKeys(int32_t keyfn);
  void MoveMouse(int32_t keyfn, int offset);
  void MuteSound();
  void ApplySplitting();
  QString TimeText() const;
  void SetGroupColours(bool highlight_record, const RemoteCL* record);

  RemoteList fRemoteList;
  std::unique_ptr<RemoteCL> fTeachRemote;
  const RemoteCL* fGroupRemote[5] = {};  // workspace, desktop, application, audio, video
  std::unique_ptr<PresetList> fPresetList;
  bool fSkip = false;
  bool fMediaListMode = false;
  int32_t fNumberAccumulator = 0;
  int32_t fTeachCode = 0;
  DesktopServices fServices;
  std::unique_ptr<WindowIndicators> fIndicators;
  std::unique_ptr<ActionThread> fActions;
  std::shared_ptr<AppInfo> fAppInfo = std::make_shared<AppInfo>();

  Prefs* fSettings = nullptr;
  bool fPimpColors = false;
  bool fMediaListOpen = false;
  bool fClosing = false;
  std::string fTitle;
  std::string fLanguageFolder;
  bigtime_t fPulseRate = 250000;
  QTimer fPulse;
  std::function<std::vector<std::string>()> fListPorts;

 public:
  // Views and controls, kept for the routing and the teach-in.
  QMenu* fIconMenu = nullptr;
  QMenu* fFileMenu = nullptr;
  QMenu* fViewMenu = nullptr;
  QWidget* fPoseView = nullptr;
  QTextEdit* fTextView = nullptr;
  QScrollArea* fScrollView = nullptr;
  QWidget* fMiniView = nullptr;
  QLabel* fMiniType = nullptr;
  QLabel* fMiniRem = nullptr;
  QLabel* fMiniKey = nullptr;
  sPulseView* fPulseView = nullptr;
  QCheckBox* fContinue = nullptr;
  QCheckBox* fHysterese = nullptr;
  QPushButton* fTeachButton = nullptr;
  QPushButton* fMuteButton = nullptr;
  QGroupBox* fSplitBox = nullptr;
  QCheckBox* fReSplit = nullptr;
  MenuField* fGroupFields[5] = {};  // workspace, desktop, application, audio, video
  QLabel* fGloInfo = nullptr;
  QGroupBox* fResultBox = nullptr;
  QLabel* fIrType = nullptr;
  QLabel* fIrSender = nullptr;
  QLabel* fIrSenKey = nullptr;
  QLabel* fIrPrgNr = nullptr;
  QGroupBox* fTeachBox = nullptr;
  TextControl* fTeachName = nullptr;
  TextControl* fTeachHead = nullptr;
  QCheckBox* fTeachDoubleByte = nullptr;
  QPushButton* fTeachDone = nullptr;
  QGroupBox* fTeachSetBox = nullptr;
  QPushButton* fTeachClear = nullptr;
  QLabel* fTeachData = nullptr;
  MenuField* fTeachKeyField = nullptr;
  MenuField* fRemoteField = nullptr;
  // The settings page and its controls (rebuilt on every 'PREF').
  QWidget* fSettView = nullptr;
  QSlider* fSlider = nullptr;
  QMenu* fPortMenu = nullptr;
  MenuField* fPortField = nullptr;
  QCheckBox* fSettingChecks[5] = {};
  QPushButton* fSettDone = nullptr;
};
