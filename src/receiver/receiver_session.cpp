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

namespace koru {

namespace {
// Set once the user was told that no receiver was found; cleared when a port opens.
constexpr const char* kNoReceiverToldKey = "no_receiver_told";
}  // namespace

ReceiverSession::ReceiverSession(ReceiverFlags* flags, Prefs* settings, ReceiverReportSink* sink,
                                 std::string port_override)
    : flags_(flags), settings_(settings), sink_(sink), port_override_(std::move(port_override)) {
  priority_ = settings_ ? settings_->PRIORITY : 40;
  wanted_ = !port_override_.empty() ? port_override_
            : settings_             ? settings_->rs232_port
                                    : "serial0";
  OpenPort(wanted_.c_str());
  if (port_ == nullptr) {
    // The serial ports first, as ever; then every other receiver this machine has (kernel
    // receivers, USB serial adapters), in the order they are listed.
    std::vector<std::string> fallbacks = {"serial0", "serial1", "serial2", "serial3", "serial4"};
    ReceiverPort lister;
    char name[256];
    for (int32_t i = 0, count = lister.CountDevices(); i < count; ++i)
      if (lister.GetDeviceName(i, name, sizeof name) == kOk &&
          std::find(fallbacks.begin(), fallbacks.end(), name) == fallbacks.end() && name != wanted_)
        fallbacks.push_back(name);
    for (const std::string& fallback : fallbacks) {
      OpenPort(fallback.c_str());
      if (port_ != nullptr) break;
    }
  }
  // Without --port the port that opened is the one remembered and reopened.
  if (port_ != nullptr && port_override_.empty()) wanted_ = port_->Name();
  if (port_ == nullptr) Trace("#Bad Port.. ");
  if (port_ != nullptr && settings_ != nullptr) settings_->PutBool(kNoReceiverToldKey, false);
  StartSniffer();
}

ReceiverSession::~ReceiverSession() {
  blockSignals(true);  // nobody is told about a session that goes
  EndThread();
  if (port_ != nullptr) {
    port_->ClearInput();
    port_->ClearOutput();
    snooze(1000);
    ClosePort();
    snooze(1000);
  }
}

void ReceiverSession::OpenPort(const char* name) {
  ClosePort();
  port_ = open_multi(name, flags_);
  if (port_ == nullptr) return;
  // A port given for this run is not stored; otherwise every successful open is remembered.
  if (port_override_.empty() && settings_ != nullptr)
    Prefs::SetText(settings_->rs232_port, port_->Name().c_str());
  emit PortChanged();
}

void ReceiverSession::ClosePort() {
  if (port_ == nullptr) return;
  close_multi(port_);
  port_ = nullptr;
  emit PortChanged();
}

void ReceiverSession::EndThread() {
  if (thread_ < 0) return;
  kill_thread(thread_);
  wait_for_thread(thread_, nullptr);  // the port stays open until the thread has stopped
  thread_ = -1;
  // A thread killed inside its loop leaves the flag set; no thread scans any more, and a new
  // one must not take the stale flag for a second scanner and end at once.
  flags_->scanning = 0;
  flags_->resume_wanted = false;
}

void ReceiverSession::StartSniffer() {
  // A thread that ended on its own (no port, port gone) is collected first.
  if (thread_ >= 0) {
    thread_info info;
    if (get_thread_info(thread_, &info) == kOk && info.state == ThreadState::kEnded) EndThread();
  }
  start_ = {flags_, port_, sink_, settings_ != nullptr && settings_->classic_timing};
  thread_ = spawn_thread(ReceiverThreadMain, "snif_thread", priority_, &start_);
  Trace(thread_ >= 0 ? "..thread-success .." : "..thread-failure");
  resume_thread(thread_);
  emit PulseWanted();
}

void ReceiverSession::StopSniffer() {
  flags_->receiving = 0;
  suspend_thread(thread_);
}

void ReceiverSession::ReStartSniffer() {
  flags_->receiving = 1;
  thread_info info;
  if (get_thread_info(thread_, &info) != kOk) {
    Trace("* kein g\xc3\xbcltiger Thread mehr ");
  } else {
    switch (info.state) {
      case ThreadState::kSpawned:
      case ThreadState::kRunning:
      case ThreadState::kWaiting:
        break;
      case ThreadState::kSuspended:
        resume_thread(thread_);
        break;
      default:
        EndThread();
        snooze(1000);
        flags_->receiving = 0;
        return;
    }
  }
  if (thread_ < 0) {
    snooze(1000);
    StartSniffer();
  } else if (info.state == ThreadState::kSpawned) {
    resume_thread(thread_);
  }
  emit PulseWanted();
}

void ReceiverSession::Pulse() {
  if (flags_->receiving == 0) return;
  if (flags_->scanning == 0 && thread_ >= 0) resume_thread(thread_);
}

void ReceiverSession::ChangeSerPort(const Message* message) {
  if (message == nullptr) {
    Trace(" ..Oops");
    return;
  }
  // A port that is not there is not busy: the busy question is only for a port another program
  // holds, and otherwise the user is told once what KORU can use.
  if (message->what == kNoReceiverPort) {
    if (++attempts_ == 1 && !busy_) TellNoReceiver();
    return;
  }
  if (message->what == kReceiverPortBusy) {
    if (!busy_) busy_port_ = message->GetString("port", "");
    busy_ = true;
    ++attempts_;
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
    if (i < 4 && settings_ != nullptr && port == settings_->rs232_port) {
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
  if (port_ != nullptr) {
    StopSniffer();
    snooze(5000);
    port_->ClearInput();
    port_->ClearOutput();
    snooze(1000);
  }
  // The thread reads the port: it ends before the port is closed.
  EndThread();
  ClosePort();
  if (settings_ != nullptr) Prefs::SetText(settings_->rs232_port, port.c_str());
  wanted_ = port;
  snooze(1000);
  flags_->receiving = 1;
  OpenPort(port.c_str());
  snooze(5000);
  StartSniffer();
}

void ReceiverSession::RelaunchInServer() {
  if (attempts_ != 1) {
    Trace("out");
    return;
  }
  if (!busy_question_) return;
  // The answer may come after the session is gone (a dialog outlives its window).
  QPointer<ReceiverSession> self(this);
  busy_question_([self](bool sensor_removed) {
    if (self && sensor_removed) self->ReopenAfterSensorRemoved();
  });
}

void ReceiverSession::ReopenAfterSensorRemoved() {
  // No input server holds the port here: closing it and opening it again frees it. It is the
  // port this run asked for (--port included), not a fallback that happened to open instead.
  const std::string port = busy_port_.empty() ? wanted_ : busy_port_;
  Trace("reopen port '%s'\n", port.c_str());
  EndThread();
  ClosePort();
  snooze(5000);
  flags_->receiving = 1;
  busy_ = false;
  busy_port_.clear();
  OpenPort(port.c_str());
  StartSniffer();
}

void ReceiverSession::TellNoReceiver() {
  bool told = false;
  if (settings_ != nullptr) settings_->GetBool(kNoReceiverToldKey, &told, false);
  const std::string text = NoReceiverText();
  Trace("%s", text.c_str());
  if (told) return;
  if (settings_ != nullptr) settings_->PutBool(kNoReceiverToldKey, true);
  if (no_receiver_notice_) no_receiver_notice_(text);
}

void ReceiverSession::ChangePriority(const Message* message) {
  const int32_t value = message->GetInt32("be:value", 100) / 10 * 10;
  thread_info info;
  const bool known = get_thread_info(thread_, &info) == kOk;
  const status_t status = set_thread_priority(thread_, value);
  // The call's result is the previous priority on success, an error status otherwise.
  const long result = status == kOk && known ? info.priority : status;
  Trace("succ:%ld| Prio:%ld ", result, static_cast<long>(value));
  if (status == kOk) {
    Trace("good ");
    priority_ = value;
    if (settings_ != nullptr) settings_->PRIORITY = value;
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

}  // namespace koru
