#pragma once
// The receiver view: owns the receiver port and the receiver thread, starts, stops, resumes
// and restarts the thread, moves it to another port, and shows a blinking activity lamp. The
// main window's pulse drives it.
#include <QColor>
#include <QWidget>
#include <functional>
#include <string>

#include "platform/messaging/message.h"
#include "platform/messaging/threads.h"

class Prefs;
struct ReceiverFlags;
class ReceiverPort;

class sPulseView : public QWidget {
  Q_OBJECT
 public:
  // The answer to the "RESOURCE_BUSY" question: true for "Sensor is removed".
  using BusyAnswer = std::function<void(bool sensor_removed)>;
  using BusyQuestion = std::function<void(const BusyAnswer& answer)>;

  // `flags` (kept alive by the caller, longer than the view) are shared with the receiver
  // thread and the router.
  // `settings` (may be null) gives the port, the priority and the hold flag, and keeps the name
  // of every port that opens unless a port override is set.
  sPulseView(const QRect& frame, const char* name, ReceiverFlags* flags, Prefs* settings,
             QWidget* parent = nullptr);
  ~sPulseView() override;

  void MessageReceived(Message* message);
  // Port choices and the busy and missing port reports: they go to ChangeSerPort.
  static bool IsPortMessage(uint32_t what);
  // Those and the end of the thread and the priority: what the main window passes on.
  static bool IsViewMessage(uint32_t what);
  void Pulse();
  // The pulse rests while it has nothing to do. Number of pulses from now to the next one
  // with work: 1 while the lamp blinks or the thread waits to be resumed, the pulses up to
  // the next 'RUBR' while a shown key waits to be cleared, 0 when none has work.
  int32_t PulsesUntilWork() const;
  // Counts `count` pulses that had nothing to do, as if they had come.
  void SkipPulses(int32_t count);
  // A report was shown: the next 'RUBR' clears it.
  void ReportShown() { fClearDue = true; }

  virtual void SetRemoteDev(int32_t number);
  virtual void RelaunchInServer();
  virtual void ChangeSerPort(const Message* message);
  virtual void StartSniffer();
  virtual void StopSniffer();
  virtual void ReStartSniffer();
  virtual void OwnPulse();
  virtual void PrintScanState(int32_t code) { TraceScanState(code); }
  static void TraceScanState(int32_t code);

  // The port for this run only, tried before the setting (the --port option); not stored.
  static void SetPortOverride(const std::string& name);
  // How the busy question is asked; by default a non-blocking message box.
  static void SetBusyQuestion(BusyQuestion question);
  // How the user is told that no receiver was found; by default a non-blocking message box.
  static void SetNoReceiverNotice(std::function<void(const std::string& text)> notice);

  thread_id Thread() const { return fThread; }
  ReceiverPort* Port() const { return fPort; }
  // The port this run means to use: the --port name, else the setting, else the last choice.
  const std::string& WantedPort() const { return fWanted; }
  int32_t PulseCount() const { return fPulseCount; }
  int32_t Attempts() const { return fAttempts; }
  int32_t RemoteDev() const { return fRemoteDev; }
  bool Hold() const { return fHold; }
  void SetHold(bool hold) {
    fHold = hold;
    emit PulseWanted();
  }

 signals:
  // The pulse may have work again (the lamp shows, the thread started or restarted).
  void PulseWanted();
  // A port was opened or closed.
  void PortChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void OpenPort(const char* name);
  void ClosePort();
  // Kills the receiver thread and waits until it has stopped (it stops at its next wait).
  void EndThread();
  void ReopenAfterSensorRemoved();
  void TellNoReceiver();

  ReceiverFlags* fFlags;
  Prefs* fSettings;
  ReceiverPort* fPort = nullptr;
  std::string fWanted;
  thread_id fThread = -1;
  int32_t fPriority;
  bool fHold;
  int32_t fRemoteDev = 91;
  bool fBusy = false;
  std::string fBusyPort;  // the first port found held by another program
  int32_t fAttempts = 0;
  int32_t fPulseCount = 0;
  int32_t fShownNumber = 0;
  bool fClearDue = false;
  QColor fFrameColor;
  Message fStartMessage;  // read by the receiver thread: lives as long as the view
};
