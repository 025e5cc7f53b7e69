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

#include "platform/clock.h"
#include "platform/message.h"
#include "platform/rect.h"

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
