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

namespace koru {

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
  bigtime_t PulseRate() const { return pulse_rate_; }

  bool MiniViewShowing() const;
  bool SettingsPageShowing() const;
  // A line on top of the log (what went wrong where only the trace would have said it).
  void AddToLog(const std::string& line) { InsertLog(line); }
  // The receiver session: the port and the receiver thread.
  ReceiverSession* Receiver() const { return receiver_.get(); }
  // A report of the receiver session, on the GUI thread: the router takes it, then the observer.
  void ReceiverReported(const ReceiverReport& report);
  // Hears every report after the router (the tray's last key); nullptr for none.
  void SetReportObserver(std::function<void(const ReceiverReport&)> observer) {
    report_observer_ = std::move(observer);
  }

  KeyRouter& Router() { return router_; }
  // The flags its receiver session, receiver thread and router share (tests).
  ReceiverFlags& Flags() { return receiver_flags_; }
  // Runs an action on the action thread, after every action posted before it.
  void RunAction(ActionThread::Action action);
  // Blocks until the action thread has run everything posted so far.
  void WaitForActions();

  // "File" > "Import LIRC remote...": the files to import, asked of the user (a file chooser at
  // the LIRC database); tests answer in its place.
  using LircFileChooser = std::function<std::vector<std::string>()>;
  void SetLircFileChooser(LircFileChooser chooser) { lirc_chooser_ = std::move(chooser); }
  // Imports the chosen files and shows the report (main_window_lirc.cpp).
  void ImportLircRemote();
  // "File" > "Import kernel keymap…": the same for the kernel's keymaps (the chooser opens at
  // the keymaps the system has; the same test answer).
  void ImportKernelKeymap();

  static std::vector<std::string> SystemPorts();
  // The serial devices the settings page offers ("serial1", "usb0", "lirc0", ...).
  void SetPortLister(std::function<std::vector<std::string>()> lister) {
    list_ports_ = std::move(lister);
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

  WindowSetup setup_;
  Prefs* settings_ = nullptr;
  // Shared with the receiver view, its receiver thread and the router (declared before them).
  ReceiverFlags receiver_flags_;
  LircdService lircd_;  // hears the router's keys: declared before it
  KeyRouter router_;
  // The receiver's reports arrive here on the GUI thread.
  class ReportTarget : public ReceiverReportSink {
   public:
    explicit ReportTarget(MainWindow& window) : window_(window) {}
    void Report(const ReceiverReport& report) override { window_.ReceiverReported(report); }
    void PortMissing() override {}  // the posted sink sends 'ir--' to the application
    void AlreadyScanning() override { window_.router_.HandleReceiverTurnedAway(); }

   private:
    MainWindow& window_;
  };
  ReportTarget report_target_{*this};
  std::function<void(const ReceiverReport&)> report_observer_;
  // Declared in this order: the session's thread ends before the sink it reports to goes.
  std::unique_ptr<PostedReportSink> report_sink_;
  std::unique_ptr<ReceiverSession> receiver_;
  ThemeSound sound_{{"koru-receiver", "message"}, "Remote key recognised", [] {
                      // Called on the sound's thread: the bell rings on the window's.
                      QMetaObject::invokeMethod(
                          qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
                    }};
  DesktopServices services_;
  std::unique_ptr<WindowIndicators> indicators_;
  std::unique_ptr<ActionThread> actions_;
  std::unique_ptr<KeyFunctionMenu> teach_key_menu_;

  bool colored_design_ = false;
  bool media_list_open_ = false;
  bool receiver_shown_open_ = true;
  std::string title_;
  std::string language_folder_;
  bigtime_t pulse_rate_ = 250000;
  QTimer pulse_;
  int32_t pulse_skip_ = 0;  // pulses the running timer interval stands for, less one
  std::function<std::vector<std::string>()> list_ports_;
  LircFileChooser lirc_chooser_;

  QMenu* icon_menu_ = nullptr;
  QMenu* file_menu_ = nullptr;
  QMenu* view_menu_ = nullptr;
  QWidget* pose_view_ = nullptr;
  QTextEdit* text_view_ = nullptr;
  QScrollArea* scroll_view_ = nullptr;
  QWidget* mini_view_ = nullptr;
  QLabel* mini_type_ = nullptr;
  QLabel* mini_rem_ = nullptr;
  QLabel* mini_key_ = nullptr;
  PulseView* pulse_view_ = nullptr;
  QCheckBox* continue_ = nullptr;
  QCheckBox* hysteresis_box_ = nullptr;
  QPushButton* teach_button_ = nullptr;
  QPushButton* mute_button_ = nullptr;
  QGroupBox* split_box_ = nullptr;
  QCheckBox* re_split_ = nullptr;
  MenuField* group_fields_[5] = {};  // workspace, desktop, application, audio, video
  QLabel* glo_info_ = nullptr;
  QGroupBox* result_box_ = nullptr;
  QLabel* ir_type_ = nullptr;
  QLabel* ir_sender_ = nullptr;
  QLabel* ir_sen_key_ = nullptr;
  QLabel* ir_prg_nr_ = nullptr;
  QGroupBox* teach_box_ = nullptr;
  TextControl* teach_name_ = nullptr;
  TextControl* teach_head_ = nullptr;
  QCheckBox* teach_double_byte_ = nullptr;
  QCheckBox* teach_classic_ = nullptr;
  QPushButton* teach_done_ = nullptr;
  QGroupBox* teach_set_box_ = nullptr;
  QPushButton* teach_clear_ = nullptr;
  QLabel* teach_data_ = nullptr;
  MenuField* teach_key_field_ = nullptr;
  MenuField* remote_field_ = nullptr;
  // The settings page and its controls (rebuilt on every 'PREF').
  QWidget* sett_view_ = nullptr;
  QSlider* slider_ = nullptr;
  QMenu* port_menu_ = nullptr;
  MenuField* port_field_ = nullptr;
  QCheckBox* setting_checks_[5] = {};
  QPushButton* sett_done_ = nullptr;
};

}  // namespace koru
