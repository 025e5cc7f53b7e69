#pragma once
// The main window: log view, compact view, the receiver view, the key display, the splitting
// box with the group menus, the teach box, the menu bar and the settings page. Every control
// sends its message to the window's own handler; the application relays the receiver's port
// messages here. The window owns the receiver session, whose reports reach it on the GUI thread
// and go to the key router. The key router decides what a message means; the window is its view.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "actions/action_thread.h"
#include "platform/desktop_services.h"
#include "platform/media/theme_sound.h"
#include "platform/messaging/clock.h"
#include "platform/messaging/message.h"
#include "platform/messaging/rect.h"
#include "receiver/posted_report_sink.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_report_sink.h"
#include "receiver/receiver_session.h"
#include "routing/key_router.h"
#include "routing/routing_view.h"
#include "shell/key_function_menu.h"
#include "shell/lircd_service.h"
#include "shell/window_setup.h"

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
class PulseView;
class WindowIndicators;

class MainWindow : public QMainWindow, public Handler, private RoutingView {
  Q_OBJECT
 public:
  explicit MainWindow(const Rect& frame, WindowSetup setup = {});
  ~MainWindow() override;

  void MessageReceived(Message* message) override;
  bool QuitRequested();

  // Folders in the program folder, the remote library, the origin check.
  void PrepareProgramFolders();

  // Modes and appearance.
  void ChangeMiniview();
  void UseColoredDesign();
  void UseAltDesign(int variant);
  void AboutRequested();
  void ShowMediaListState(const Message* message);
  void AddOptionalByWinKey(const Message* message);
  void AddSettingsView();
  // Starts or stops the lircd socket: --lircd-socket's path, else the default one.
  void ServeLircdClients(bool on);

  // The window's pulse (drives the receiver view); 250000 us normally, 750000 in slow-down.
  void SetPulseRate(bigtime_t rate) override;
  bigtime_t PulseRate() const { return fPulseRate; }

  bool MiniViewShowing() const;
  bool SettingsPageShowing() const;
  // A line on top of the log (what went wrong where only the trace would have said it).
  void AddToLog(const std::string& line) { InsertLog(line); }
  QWidget* SettingsView() const { return fSettView; }
  PulseView* GetPulseView() const { return fPulseView; }
  // The receiver session: the port and the receiver thread.
  ReceiverSession* Receiver() const { return fReceiver.get(); }
  // A report of the receiver session, on the GUI thread: the router takes it, then the observer.
  void ReceiverReported(const ReceiverReport& report);
  // Hears every report after the router (the tray's last key); nullptr for none.
  void SetReportObserver(std::function<void(const ReceiverReport&)> observer) {
    fReportObserver = std::move(observer);
  }

  KeyRouter& Router() { return fRouter; }
  // The flags its receiver session, receiver thread and router share (tests).
  ReceiverFlags& Flags() { return fReceiverFlags; }
  // Runs an action on the action thread, after every action posted before it.
  void RunAction(ActionThread::Action action);
  // Blocks until the action thread has run everything posted so far.
  void WaitForActions();

  // "File" > "Import LIRC remote...": the files to import, asked of the user (a file chooser at
  // the LIRC database); tests answer in its place.
  using LircFileChooser = std::function<std::vector<std::string>()>;
  void SetLircFileChooser(LircFileChooser chooser) { fLircChooser = std::move(chooser); }
  // Imports the chosen files and shows the report (main_window_lirc.cpp).
  void ImportLircRemote();
  // "File" > "Import kernel keymap…": the same for the kernel's keymaps (the chooser opens at
  // the keymaps the system has; the same test answer).
  void ImportKernelKeymap();

  static std::vector<std::string> SystemPorts();
  // The serial devices the settings page offers ("serial1", "usb0", "lirc0", ...).
  void SetPortLister(std::function<std::vector<std::string>()> lister) {
    fListPorts = std::move(lister);
  }

  // The desktop backend's session and capabilities (empty for a test's fake desktop).
  DesktopReport DesktopState() const;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Both imports from here: the router rests the receiver, a job imports off the GUI thread.
  void StartImport(std::vector<std::string> files, bool keymaps);
  // What the router shows (main_window_view.cpp).
  void SetText(RoutingText which, const std::string& text) override;
  void SetMiniGroup(const std::string& text, TextAlign align) override;
  void ShowStatusLine() override;
  void InsertLog(const std::string& line) override;
  void SetLogText(const std::string& text) override;
  std::string LogText() const override;
  void Beep() override;
  void ShowHysteresis(bool on) override;
  void ShowContinuous(bool on) override;
  bool SplitSwitch() const override;
  void SetSplitSwitch(bool on) override;
  void ShowSplitting(bool on) override;
  void ShowGroupHighlight(const std::array<bool, 5>& lit) override;
  void RebuildRemoteMenu(const RemoteMenu& menu) override;
  void DropMenuFocus(int32_t kind) override;
  void MarkShowTab(bool on) override;
  void ShowTeachBox(bool teaching) override;
  void LockForTeaching(bool locked) override;
  std::string TeachFieldText(TeachField field) const override;
  void SetTeachFieldText(TeachField field, const std::string& text) override;
  void EnableTeachField(TeachField field, bool enabled) override;
  void StyleTeachField(TeachField field, TeachFieldLook look) override;
  bool TwoBytes() const override;
  void SetTwoBytes(bool on) override;
  void DropTwoBytesFocus() override;
  bool ClassicCodes() const override;
  void SetClassicCodes(bool on) override;
  void ShowTeachData(const std::string& text, TeachTone tone) override;
  void ShowTeachChoice(bool taught) override;
  KeyMenu& TeachKeyMenu() override;
  void ToggleMinimised() override;
  ViewPoint WindowCorner(int menu_offset) const override;
  void ShowOnAllWorkspaces(bool all) override;
  MuteIndicator* MuteButton() override;
  StatusLabel* StatusLine() override;
  void ShowPressedKey(int32_t keyfn) override;
  bool ReceiverContinuous() const override;
  void SetReceiverContinuous(bool on) override;
  void ReceiverUnusable() override;

  // Receiver pieces.
  bool HandleReceiverMessage(Message* message);
  void BuildReceiverView();
  void PlaceContinueBox();
  // Says plainly, in the key display and the compact view, when no receiver is open.
  void ShowReceiverState();
  bool ActionsIdle();
  void OnPulse();
  // Sets the pulse timer to the next pulse with work, or stops it: no wake-ups while idle.
  void PlanPulse();
  // Something gave the pulse work: planned again unless it already comes every time.
  void WakePulse();
  void ShutdownActions();

  void BuildMenus();
  void BuildPanel();
  void BuildControls();
  void BuildTeachMenu(QMenu* menu);
  void BuildActions();
  // What the desktop cannot do, and why it may ask for permission, in the log.
  void ShowDesktopNotices();
  void StoreFrame();
  void SetSizeLimits(int min_width, int max_width, int min_height, int max_height);
  void EnableMenuCommands(bool enable, std::initializer_list<uint32_t> codes);
  int MenuBarHeight() const;
  MenuField* RemoteMenuField(int32_t kind) const;

  WindowSetup fSetup;
  Prefs* fSettings = nullptr;
  // Shared with the receiver view, its receiver thread and the router (declared before them).
  ReceiverFlags fReceiverFlags;
  LircdService fLircd;  // hears the router's keys: declared before it
  KeyRouter fRouter;
  // The receiver's reports arrive here on the GUI thread.
  class ReportTarget : public ReceiverReportSink {
   public:
    explicit ReportTarget(MainWindow& window) : window_(window) {}
    void Report(const ReceiverReport& report) override { window_.ReceiverReported(report); }
    void PortMissing() override {}  // the posted sink sends 'ir--' to the application
    void AlreadyScanning() override { window_.fRouter.HandleReceiverTurnedAway(); }

   private:
    MainWindow& window_;
  };
  ReportTarget fReportTarget{*this};
  std::function<void(const ReceiverReport&)> fReportObserver;
  // Declared in this order: the session's thread ends before the sink it reports to goes.
  std::unique_ptr<PostedReportSink> fReportSink;
  std::unique_ptr<ReceiverSession> fReceiver;
  ThemeSound fSound{{"koru-receiver", "message"}, "Remote key recognised", [] {
                      // Called on the sound's thread: the bell rings on the window's.
                      QMetaObject::invokeMethod(
                          qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
                    }};
  DesktopServices fServices;
  std::unique_ptr<WindowIndicators> fIndicators;
  std::unique_ptr<ActionThread> fActions;
  std::unique_ptr<KeyFunctionMenu> fTeachKeyMenu;

  bool fColoredDesign = false;
  bool fMediaListOpen = false;
  bool fReceiverShownOpen = true;
  std::string fTitle;
  std::string fLanguageFolder;
  bigtime_t fPulseRate = 250000;
  QTimer fPulse;
  int32_t fPulseSkip = 0;  // pulses the running timer interval stands for, less one
  std::function<std::vector<std::string>()> fListPorts;
  LircFileChooser fLircChooser;

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
  PulseView* fPulseView = nullptr;
  QCheckBox* fContinue = nullptr;
  QCheckBox* fHysteresisBox = nullptr;
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
  QCheckBox* fTeachClassic = nullptr;
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
