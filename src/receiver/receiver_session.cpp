#include "receiver/receiver_session.h"

#include <algorithm>
#include <vector>

#include "platform/desktop/desktop_messages.h"
#include "platform/lines/receiver_port.h"
#include "platform/messaging/trace.h"
#include "receiver/port_access.h"
#include "receiver/port_open_failure.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_messages.h"
#include "settings/prefs.h"

namespace {
// Set once the user was told that no receiver was found; cleared when a port opens.
constexpr const char* kNoReceiverToldKey = "no_receiver_told";
}  // namespace

ReceiverSession::ReceiverSession(ReceiverFlags* flags, Prefs* settings, ReceiverReportSink* sink,
                                 std::string port_override)
    : fFlags(flags), fSettings(settings), fSink(sink), fPortOverride(std::move(port_override)) {
  fPriority = fSettings ? fSettings->PRIORITY : 40;
  fWanted = !fPortOverride.empty() ? fPortOverride : fSettings ? fSettings->rs232_port : "serial0";
  OpenPort(fWanted.c_str());
  if (fPort == nullptr) {
    // The serial ports first, as ever; then every other receiver this machine has (kernel
    // receivers, USB serial adapters), in the order they are listed.
    std::vector<std::string> fallbacks = {"serial0", "serial1", "serial2", "serial3", "serial4"};
    ReceiverPort lister;
    char name[256];
    for (int32_t i = 0, count = lister.CountDevices(); i < count; ++i)
      if (lister.GetDeviceName(i, name, sizeof name) == kOk &&
          std::find(fallbacks.begin(), fallbacks.end(), name) == fallbacks.end() && name != fWanted)
        fallbacks.push_back(name);
    for (const std::string& fallback : fallbacks) {
      OpenPort(fallback.c_str());
      if (fPort != nullptr) break;
    }
  }
  // Without --port the port that opened is the one remembered and reopened.
  if (fPort != nullptr && fPortOverride.empty()) fWanted = fPort->Name();
  if (fPort == nullptr) Trace("#Bad Port.. ");
  if (fPort != nullptr && fSettings != nullptr) fSettings->PutBool(kNoReceiverToldKey, false);
  StartSniffer();
}

ReceiverSession::~ReceiverSession() {
  blockSignals(true);  // nobody is told about a session that goes
  EndThread();
  if (fPort != nullptr) {
    fPort->ClearInput();
    fPort->ClearOutput();
    snooze(1000);
    ClosePort();
    snooze(1000);
  }
}

void ReceiverSession::OpenPort(const char* name) {
  ClosePort();
  fPort = open_multi(name, fFlags);
  if (fPort == nullptr) return;
  // A port given for this run is not stored; otherwise every successful open is remembered.
  if (fPortOverride.empty() && fSettings != nullptr)
    Prefs::SetText(fSettings->rs232_port, fPort->Name().c_str());
  emit PortChanged();
}

void ReceiverSession::ClosePort() {
  if (fPort == nullptr) return;
  close_multi(fPort);
  fPort = nullptr;
  emit PortChanged();
}

void ReceiverSession::EndThread() {
  if (fThread < 0) return;
  kill_thread(fThread);
  wait_for_thread(fThread, nullptr);  // the port stays open until the thread has stopped
  fThread = -1;
  // A thread killed inside its loop leaves the flag set; no thread scans any more, and a new
  // one must not take the stale flag for a second scanner and end at once.
  fFlags->CHECK_SCAN_IR = 0;
  fFlags->resume_wanted = false;
}

void ReceiverSession::StartSniffer() {
  // A thread that ended on its own (no port, port gone) is collected first.
  if (fThread >= 0) {
    thread_info info;
    if (get_thread_info(fThread, &info) == kOk && info.state == ThreadState::kEnded) EndThread();
  }
  fStart = {fFlags, fPort, fSink, fSettings != nullptr && fSettings->classic_timing};
  fThread = spawn_thread(ReceiverThreadMain, "snif_thread", fPriority, &fStart);
  Trace(fThread >= 0 ? "..thread-success .." : "..thread-failure");
  resume_thread(fThread);
  emit PulseWanted();
}

void ReceiverSession::StopSniffer() {
  fFlags->SCAN_CONTINOUS = 0;
  suspend_thread(fThread);
}

void ReceiverSession::ReStartSniffer() {
  fFlags->SCAN_CONTINOUS = 1;
  thread_info info;
  if (get_thread_info(fThread, &info) != kOk) {
    Trace("* kein g\xc3\xbcltiger Thread mehr ");
  } else {
    switch (info.state) {
      case ThreadState::kSpawned:
      case ThreadState::kRunning:
      case ThreadState::kWaiting:
        break;
      case ThreadState::kSuspended:
        resume_thread(fThread);
        break;
      default:
        EndThread();
        snooze(1000);
        fFlags->SCAN_CONTINOUS = 0;
        return;
    }
  }
  if (fThread < 0) {
    snooze(1000);
    StartSniffer();
  } else if (info.state == ThreadState::kSpawned) {
    resume_thread(fThread);
  }
  emit PulseWanted();
}

void ReceiverSession::Pulse() {
  if (fFlags->SCAN_CONTINOUS == 0) return;
  if (fFlags->CHECK_SCAN_IR == 0 && fThread >= 0) resume_thread(fThread);
}

void ReceiverSession::ChangeSerPort(const Message* message) {
  if (message == nullptr) {
    Trace(" ..Oops");
    return;
  }
  // A port that is not there is not busy: the busy question is only for a port another program
  // holds, and otherwise the user is told once what KORU can use.
  if (message->what == kNoReceiverPort) {
    if (++fAttempts == 1 && !fBusy) TellNoReceiver();
    return;
  }
  if (message->what == kReceiverPortBusy) {
    if (!fBusy) fBusyPort = message->GetString("port", "");
    fBusy = true;
    ++fAttempts;
    RelaunchInServer();
    return;
  }
  static const struct {
    uint32_t code;
    const char* port;
  } kPorts[] = {{kUseSerial1, "serial1"}, {kUseSerial2, "serial2"}, {kUseSerial3, "serial3"},
                {kUseSerial4, "serial4"}, {kUseUsb0, "usb0"},       {kUseUsb1, "usb1"},
                {kUseUsb2, "usb2"},       {kUseUsb3, "usb3"}};
  std::string port;
  for (int i = 0; i < 8; ++i) {
    if (message->what != kPorts[i].code) continue;
    port = kPorts[i].port;
    if (i < 4 && fSettings != nullptr && port == fSettings->rs232_port) {
      Trace(" ..same ser%d ", i + 1);
      return;
    }
  }
  // Further receivers of this machine (lirc devices, recordings) come by name.
  if (port.empty()) port = message->GetString("port", "");
  if (port.empty()) {
    Trace(" ..Oops");
    return;
  }
  if (fPort != nullptr) {
    StopSniffer();
    snooze(5000);
    fPort->ClearInput();
    fPort->ClearOutput();
    snooze(1000);
  }
  // The thread reads the port: it ends before the port is closed.
  EndThread();
  ClosePort();
  if (fSettings != nullptr) Prefs::SetText(fSettings->rs232_port, port.c_str());
  fWanted = port;
  snooze(1000);
  fFlags->SCAN_CONTINOUS = 1;
  OpenPort(port.c_str());
  snooze(5000);
  StartSniffer();
}

void ReceiverSession::RelaunchInServer() {
  if (fAttempts != 1) {
    Trace("out");
    return;
  }
  if (!fBusyQuestion) return;
  // The answer may come after the session is gone (a dialog outlives its window).
  QPointer<ReceiverSession> self(this);
  fBusyQuestion([self](bool sensor_removed) {
    if (self && sensor_removed) self->ReopenAfterSensorRemoved();
  });
}

void ReceiverSession::ReopenAfterSensorRemoved() {
  // No input server holds the port here: closing it and opening it again frees it. It is the
  // port this run asked for (--port included), not a fallback that happened to open instead.
  const std::string port = fBusyPort.empty() ? fWanted : fBusyPort;
  Trace("reopen port '%s'\n", port.c_str());
  EndThread();
  ClosePort();
  snooze(5000);
  fFlags->SCAN_CONTINOUS = 1;
  fBusy = false;
  fBusyPort.clear();
  OpenPort(port.c_str());
  StartSniffer();
}

void ReceiverSession::TellNoReceiver() {
  bool told = false;
  if (fSettings != nullptr) fSettings->GetBool(kNoReceiverToldKey, &told, false);
  const std::string text = NoReceiverText();
  Trace("%s", text.c_str());
  if (told) return;
  if (fSettings != nullptr) fSettings->PutBool(kNoReceiverToldKey, true);
  if (fNoReceiverNotice) fNoReceiverNotice(text);
}

void ReceiverSession::ChangePriority(const Message* message) {
  const int32_t value = message->GetInt32("be:value", 100) / 10 * 10;
  thread_info info;
  const bool known = get_thread_info(fThread, &info) == kOk;
  const status_t status = set_thread_priority(fThread, value);
  // The call's result is the previous priority on success, an error status otherwise.
  const long result = status == kOk && known ? info.priority : status;
  Trace("succ:%ld| Prio:%ld ", result, static_cast<long>(value));
  if (status == kOk) {
    Trace("good ");
    fPriority = value;
    if (fSettings != nullptr) fSettings->PRIORITY = value;
  } else {
    Trace("bad ");
  }
}

bool ReceiverSession::IsPortMessage(uint32_t what) {
  switch (what) {
    case kUseSerial1:
    case kUseSerial2:
    case kUseSerial3:
    case kUseSerial4:
    case kUseUsb0:
    case kUseUsb1:
    case kUseUsb2:
    case kUseUsb3:
    case kUsePortByName:
    case kReceiverPortBusy:
    case kNoReceiverPort:
      return true;
    default:
      return false;
  }
}

bool ReceiverSession::IsSessionMessage(uint32_t what) {
  return IsPortMessage(what) || what == kEndReceiverThread || what == kReceiverPriority;
}

void ReceiverSession::MessageReceived(Message* message) {
  if (IsPortMessage(message->what)) {
    ChangeSerPort(message);
    return;
  }
  switch (message->what) {
    case kEndReceiverThread:
      EndThread();
      return;
    case kReceiverPriority:
      ChangePriority(message);
      return;
    case kDroppedData:
      Trace("%s\n", message->Dump().c_str());
      return;
    default:
      Trace("sPulseView::MessageReceived");
      Trace("%s\n", message->Dump().c_str());
      return;
  }
}
