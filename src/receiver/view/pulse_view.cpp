#include "receiver/view/pulse_view.h"

#include <algorithm>

#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include "platform/lines/receiver_port.h"
#include "platform/messaging/trace.h"
#include "receiver/port_access.h"
#include "receiver/port_open_failure.h"
#include "receiver/receiver_flags.h"
#include "receiver/sampling_thread.h"
#include "settings/label_table.h"
#include "settings/prefs.h"
#include "shell/view_utilities.h"

namespace {

std::string g_port_override;
sPulseView::BusyQuestion g_busy_question;
std::function<void(const std::string&)> g_no_receiver_notice;

// Set once the user was told that no receiver was found; cleared when a port opens.
constexpr const char* kNoReceiverToldKey = "no_receiver_told";

void NoticeWithMessageBox(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Information, "KORU", QString::fromStdString(text),
                              QMessageBox::Ok);
  box->setObjectName("noReceiver");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void AskWithMessageBox(const sPulseView::BusyAnswer& answer) {
  // Non-blocking: the program goes on (and can be ended) while the question is open.
  auto* box = new QMessageBox(QMessageBox::Warning, "KORU_W",
                              QString::fromUtf8(getLabel(188)) + "\n\n" +
                                  QString::fromStdString(RecentOpenFailures()) + "\n" +
                                  QString::fromUtf8(getLabel(201)));
  QPushButton* nothing = box->addButton(QString::fromUtf8(getLabel(202)), QMessageBox::RejectRole);
  QPushButton* removed = box->addButton(QString::fromUtf8(getLabel(203)), QMessageBox::AcceptRole);
  box->setDefaultButton(removed);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::buttonClicked, box,
                   [answer, removed, nothing](QAbstractButton* button) {
                     if (button == removed || button == nothing) answer(button == removed);
                   });
  box->open();
}

}  // namespace

void sPulseView::SetPortOverride(const std::string& name) {
  g_port_override = name;
}
void sPulseView::SetBusyQuestion(BusyQuestion question) {
  g_busy_question = std::move(question);
}
void sPulseView::SetNoReceiverNotice(std::function<void(const std::string&)> notice) {
  g_no_receiver_notice = std::move(notice);
}

sPulseView::sPulseView(const QRect& frame, const char* name, ReceiverFlags* flags, Prefs* settings,
                       QWidget* parent)
    : QWidget(parent), fFlags(flags), fSettings(settings), fStartMessage(FourCC("snif")) {
  setObjectName(name);
  setGeometry(frame);
  QFont small = font();
  small.setPointSize(10);
  setFont(small);
  fFrameColor = TintColor(palette().color(QPalette::Window), 1.295);
  fPriority = fSettings ? fSettings->PRIORITY : 40;
  fHold = fSettings && fSettings->hold_irInfo;

  fWanted = !g_port_override.empty() ? g_port_override
            : fSettings              ? fSettings->rs232_port
                                     : "serial0";
  const SameDeviceList same_devices;
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
  if (fPort != nullptr && g_port_override.empty()) fWanted = fPort->Name();
  if (fPort == nullptr) Trace("#Bad Port.. ");
  if (fPort != nullptr && fSettings != nullptr) fSettings->PutBool(kNoReceiverToldKey, false);
  sPulseView::StartSniffer();  // the view's own, even for a derived view under construction
}

sPulseView::~sPulseView() {
  blockSignals(true);  // nobody is told about a view that goes
  EndThread();
  if (fPort != nullptr) {
    fPort->ClearInput();
    fPort->ClearOutput();
    snooze(1000);
    ClosePort();
    snooze(1000);
  }
}

void sPulseView::OpenPort(const char* name) {
  ClosePort();
  fPort = open_multi(name, fFlags);
  if (fPort == nullptr) return;
  // A port given for this run is not stored; otherwise every successful open is remembered.
  if (g_port_override.empty() && fSettings != nullptr)
    Prefs::SetText(fSettings->rs232_port, fPort->Name().c_str());
  emit PortChanged();
}

void sPulseView::ClosePort() {
  if (fPort == nullptr) return;
  close_multi(fPort);
  fPort = nullptr;
  emit PortChanged();
}

void sPulseView::EndThread() {
  if (fThread < 0) return;
  kill_thread(fThread);
  wait_for_thread(fThread, nullptr);  // the port stays open until the thread has stopped
  fThread = -1;
  // A thread killed inside its loop leaves the flag set; no thread scans any more, and a new
  // one must not take the stale flag for a second scanner and end at once.
  fFlags->CHECK_SCAN_IR = 0;
  fFlags->resume_wanted = false;
}

void sPulseView::StartSniffer() {
  // A thread that ended on its own (no port, port gone) is collected first.
  if (fThread >= 0) {
    thread_info info;
    if (get_thread_info(fThread, &info) == kOk && info.state == ThreadState::kEnded) EndThread();
  }
  fStartMessage.MakeEmpty();
  fStartMessage.AddPointer(kReceiverFlagsField, fFlags);
  fStartMessage.AddPointer("_serPtr", fPort);
  fStartMessage.AddBool(kClassicTimingField, fSettings != nullptr && fSettings->classic_timing);
  fThread = spawn_thread(STH_scan_IR_pulse, "snif_thread", fPriority, &fStartMessage);
  Trace(fThread >= 0 ? "..thread-success .." : "..thread-failure");
  resume_thread(fThread);
  emit PulseWanted();
}

void sPulseView::StopSniffer() {
  fFlags->SCAN_CONTINOUS = 0;
  suspend_thread(fThread);
}

void sPulseView::ReStartSniffer() {
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

void sPulseView::Pulse() {
  if (++fPulseCount > 21) fPulseCount = 0;
  if (fFlags->SCAN_CONTINOUS == 0) return;
  if (!fHold && fPulseCount == 20) {
    AppMessenger().SendMessage(FourCC("RUBR"));
    fClearDue = false;
  }
  update();
  if (fFlags->CHECK_SCAN_IR == 0 && fThread >= 0) resume_thread(fThread);
}

namespace {
constexpr int32_t kPulseCycle = 22;  // the pulse count runs 0..21
constexpr int32_t kClearAt = 20;     // 'RUBR' goes out at this count
}  // namespace

int32_t sPulseView::PulsesUntilWork() const {
  if (fFlags->SCAN_CONTINOUS == 0) return 0;
  const bool lamp = fPort != nullptr && isVisible();
  if (lamp || fFlags->resume_wanted) return 1;
  if (!fClearDue || fHold) return 0;
  const int32_t until = (kClearAt - fPulseCount + kPulseCycle) % kPulseCycle;
  return until == 0 ? kPulseCycle : until;
}

void sPulseView::SkipPulses(int32_t count) {
  if (count > 0) fPulseCount = (fPulseCount + count) % kPulseCycle;
}

void sPulseView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  emit PulseWanted();
}

void sPulseView::OwnPulse() {
  if (++fPulseCount > 200) fPulseCount = 0;
}

void sPulseView::paintEvent(QPaintEvent*) {
  if (!isVisible()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF bounds = rect();
  painter.fillRect(bounds, palette().color(QPalette::Window));
  painter.setPen(fFrameColor);
  painter.drawRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
  painter.setPen(QColor(15, 15, 15));
  if (fPort == nullptr) {
    // No blinking lamp for a receiver that is not there.
    painter.setPen(QColor(190, 20, 20));
    painter.drawText(bounds, Qt::AlignCenter, "no receiver");
    return;
  }
  painter.drawText(QPointF(4, bounds.height() - 6), QString::number(fShownNumber));
  if (fFlags->SCAN_CONTINOUS != 0 && (fPulseCount & 1)) {
    const QColor lamp = fFlags->SLOWDOWN_GLOBAL ? QColor(20, 150, 20) : QColor(250, 20, 20);
    const double side = bounds.height();
    const QRectF square = QRectF(bounds.right() - side, 0, side, side).adjusted(3, 3, -3, -3);
    painter.setBrush(lamp);
    painter.setPen(TintColor(lamp, 0.59));
    painter.drawRoundedRect(square, 7, 7, Qt::AbsoluteSize);
  }
}

void sPulseView::ChangeSerPort(const Message* message) {
  if (message == nullptr) {
    Trace(" ..Oops");
    return;
  }
  // A port that is not there is not busy: the busy question is only for a port another program
  // holds, and otherwise the user is told once what KORU can use.
  if (message->what == FourCC("ir--")) {
    if (++fAttempts == 1 && !fBusy) TellNoReceiver();
    return;
  }
  if (message->what == FourCC("irRB")) {
    if (!fBusy) fBusyPort = message->GetString("port", "");
    fBusy = true;
    ++fAttempts;
    RelaunchInServer();
    return;
  }
  static const struct {
    const char* code;
    const char* port;
  } kPorts[] = {{"SER1", "serial1"}, {"SER2", "serial2"}, {"SER3", "serial3"}, {"SER4", "serial4"},
                {"USB0", "usb0"},    {"USB1", "usb1"},    {"USB2", "usb2"},    {"USB3", "usb3"}};
  std::string port;
  for (int i = 0; i < 8; ++i) {
    if (message->what != FourCCOf(kPorts[i].code)) continue;
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

void sPulseView::RelaunchInServer() {
  if (fAttempts != 1) {
    Trace("out");
    return;
  }
  const BusyQuestion ask = g_busy_question ? g_busy_question : AskWithMessageBox;
  QPointer<sPulseView> self(this);
  ask([self](bool sensor_removed) {
    if (self && sensor_removed) self->ReopenAfterSensorRemoved();
  });
}

void sPulseView::ReopenAfterSensorRemoved() {
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

void sPulseView::TellNoReceiver() {
  bool told = false;
  if (fSettings != nullptr) fSettings->GetBool(kNoReceiverToldKey, &told, false);
  const std::string text = NoReceiverText();
  Trace("%s", text.c_str());
  if (told) return;
  if (fSettings != nullptr) fSettings->PutBool(kNoReceiverToldKey, true);
  (g_no_receiver_notice ? g_no_receiver_notice : NoticeWithMessageBox)(text);
}

void sPulseView::SetRemoteDev(int32_t number) {
  if (number > 99) {
    Trace("oops (%d)RemoteDev..", number);
    fRemoteDev = 0;
    return;
  }
  fRemoteDev = number;
}

void sPulseView::TraceScanState(int32_t code) {
  const char* text = " -not-defined- ";
  switch (code) {
    case 0:
      text = "     SCIR_ZERO ";
      break;
    case 1:
      text = "    SCIR_PEGEL ";
      break;
    case 20:
      text = "   SCIR_NO_DCD ";
      break;
    case 40:
      text = "      SCIR_ASK ";
      break;
    case 80:
      text = " SCIR_NOT_FULL ";
      break;
    case 100:
      text = "     SCIR_FULL ";
      break;
    case 110:
      text = "  SCIR_NERVOUS ";
      break;
    case 190:
      text = "     SCIR_OOPS ";
      break;
    case 200:
      text = "SCIR_NO_DEVICE ";
      break;
    default:
      break;
  }
  Trace("%s", text);
}

bool sPulseView::IsPortMessage(uint32_t what) {
  switch (what) {
    case FourCC("SER1"):
    case FourCC("SER2"):
    case FourCC("SER3"):
    case FourCC("SER4"):
    case FourCC("USB0"):
    case FourCC("USB1"):
    case FourCC("USB2"):
    case FourCC("USB3"):
    case FourCC("SERP"):
    case FourCC("irRB"):
    case FourCC("ir--"):
      return true;
    default:
      return false;
  }
}

bool sPulseView::IsViewMessage(uint32_t what) {
  return IsPortMessage(what) || what == FourCC("irTQ") || what == FourCC("sldm");
}

void sPulseView::MessageReceived(Message* message) {
  if (IsPortMessage(message->what)) {
    ChangeSerPort(message);
    return;
  }
  switch (message->what) {
    case FourCC("irTQ"):
      EndThread();
      return;
    case FourCC("sldm"): {
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
      return;
    }
    case FourCC("DATA"):
      Trace("%s\n", message->Dump().c_str());
      return;
    default:
      Trace("sPulseView::MessageReceived");
      Trace("%s\n", message->Dump().c_str());
      return;
  }
}
