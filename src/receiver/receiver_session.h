#pragma once
// A receiver session: owns the receiver port and the receiver thread. It opens the wanted port
// or the first fallback that opens, starts, suspends, resumes, moves and restarts the thread,
// answers the port messages ('SER1'.., 'USB0'.., a port by name, busy 'irRB', missing 'ir--'),
// and gives every report of the thread to the sink it was made with. Runs on the thread that
// made it (the GUI thread in the program); the sink is called on the receiver thread.
//
//   ReceiverSession session(&flags, prefs, &sink, "");   // opens a port, starts the thread
//   session.Pulse();                                      // every pulse: the resume rule
//   session.MessageReceived(&message);                    // its port and priority messages
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

#include "platform/messaging/message.h"
#include "platform/messaging/threads.h"
#include "receiver/receiver_report_sink.h"
#include "receiver/sampling_thread.h"

namespace koru {

class Prefs;
struct ReceiverFlags;
class ReceiverPort;

class ReceiverSession : public QObject {
  Q_OBJECT
 public:
  // The answer to the "RESOURCE_BUSY" question: true for "Sensor is removed".
  using BusyAnswer = std::function<void(bool sensor_removed)>;
  using BusyQuestion = std::function<void(const BusyAnswer& answer)>;
  using Notice = std::function<void(const std::string& text)>;

  // `flags` and `sink` outlive the session; `settings` may be null. `port_override` is the port
  // for this run only, tried before the setting (the --port option) and not stored.
  ReceiverSession(ReceiverFlags* flags, Prefs* settings, ReceiverReportSink* sink,
                  std::string port_override);
  ~ReceiverSession() override;
  ReceiverSession(const ReceiverSession&) = delete;
  ReceiverSession& operator=(const ReceiverSession&) = delete;

  // The settings the session reads its port and priority from; may be null.
  const Prefs* Settings() const { return settings_; }

  // How the busy question is asked and how the user is told that no receiver was found; the
  // window installs its dialogs, without them nothing is asked and nothing shown.
  void SetBusyQuestion(BusyQuestion question) { busy_question_ = std::move(question); }
  void SetNoReceiverNotice(Notice notice) { no_receiver_notice_ = std::move(notice); }

  // Port choices and the busy and missing port reports: they go to ChangeSerPort.
  static bool IsPortMessage(uint32_t what);
  // Those and the end of the thread and the priority: what the session takes.
  static bool IsSessionMessage(uint32_t what);
  void MessageReceived(Message* message);

  // The resume rule, once per pulse: a thread that suspended itself after a report listens
  // again while receiving is on.
  void Pulse();

  void ChangeSerPort(const Message* message);
  void RelaunchInServer();
  void StartSniffer();
  void StopSniffer();
  void ReStartSniffer();

  ReceiverFlags& Flags() const { return *flags_; }
  thread_id Thread() const { return thread_; }
  ReceiverPort* Port() const { return port_; }
  // The port this run means to use: the --port name, else the setting, else the last choice.
  const std::string& WantedPort() const { return wanted_; }
  int32_t Attempts() const { return attempts_; }

 signals:
  // The pulse may have work again (the thread started or restarted).
  void PulseWanted();
  // A port was opened or closed.
  void PortChanged();

 private:
  void OpenPort(const char* name);
  void ClosePort();
  // Kills the receiver thread and waits until it has stopped (it stops at its next wait).
  void EndThread();
  void ReopenAfterSensorRemoved();
  void TellNoReceiver();
  void ChangePriority(const Message* message);

  ReceiverFlags* flags_;
  Prefs* settings_;
  ReceiverReportSink* sink_;
  std::string port_override_;
  BusyQuestion busy_question_;
  Notice no_receiver_notice_;
  ReceiverPort* port_ = nullptr;
  std::string wanted_;
  thread_id thread_ = -1;
  int32_t priority_;
  bool busy_ = false;
  std::string busy_port_;  // the first port found held by another program
  int32_t attempts_ = 0;
  ReceiverThreadStart start_;  // read by the receiver thread: lives as long as the session
};

}  // namespace koru
