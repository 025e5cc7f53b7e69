#include "receiver/port_access.h"

#include <cstring>
#include <memory>

#include "platform/lines/device_group.h"
#include "platform/messaging/four_cc.h"
#include "platform/messaging/message.h"
#include "platform/messaging/messenger.h"
#include "platform/messaging/trace.h"
#include "receiver/port_open_failure.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_messages.h"

namespace koru {

namespace {

// Long enough for "replay:" names with a path; the serial names need far less.
constexpr size_t kDeviceNameSize = 256;

void TraceOpenFailure(const char* name, status_t status, ReceiverFlags* flags) {
  switch (status) {
    case kNotAllowed:
      Trace(" PERMISSION_DENIED\n");
      break;
    case kError:
      Trace(" B_ERROR\n");
      break;
    case kBusy: {
      Message busy(kReceiverPortBusy);
      busy.AddString("port", name);
      AppMessenger().SendMessage(busy);
      if (flags != nullptr) {
        flags->scanning.store(0);
        flags->receiving.store(0);
      }
      break;
    }
    case kEntryNotFound:
    case kNoDevice:
      Trace("B_RESOURCE_NOT_FOUND\n");
      break;
    case kResourceUnavailable:
      Trace("B_RESOURCE_UNAVAILABLE\n");
      break;
    case kDevResourceConflict:
      Trace("B_DEV_RESOURCE_CONFLICT\n");
      break;
    case kModemBusy:
      Trace("B_MODEM_BUSY\n");
      break;
    default:
      break;
  }
  Trace(" %ld: %s\n", static_cast<long>(status), StatusText(status).c_str());
  Trace("\t[%ld can't open]\n", static_cast<long>(status));
  Trace("\t[Hex 0x%lx]\n", static_cast<unsigned long>(static_cast<uint32_t>(status)));
}

// The failure in plain words, on the trace and kept for the "no port" report.
void ReportOpenFailure(const std::string& name, status_t status) {
  const std::string node = CurrentReceiverDevices()->NodeFor(name);
  const OpenFailure failure = ExplainOpenFailure(name, node, status, DeviceGroup(node));
  Trace("%s\n", failure.Text().c_str());
  RecordOpenFailure(failure);
}

}  // namespace

ReceiverPort* open_multi(const char* name, ReceiverFlags* flags) {
  auto port = std::make_unique<ReceiverPort>();
  const int32_t count = port->CountDevices();
  bool found = false;
  // From the highest index down; the index `count` itself has no name and is skipped.
  for (int32_t index = count; index >= 0; --index) {
    char device[kDeviceNameSize];
    if (port->GetDeviceName(index, device, sizeof device) != kOk) continue;
    if (name != nullptr && std::strcmp(device, name) != 0) {
      port->Close();
      continue;
    }
    found = true;
    // Opened twice; the second result decides, the first one explains a failure.
    const int32_t first = port->Open(device);
    const int32_t second = port->Open(device);
    if (second > 0) {
      Trace("..listen on '%s' \n", device);
      port->SetFlowControl(kHardwareFlowControl);
      port->SetDataRate(19200);
      Trace("19200 BPS\n");
      port->SetDataBits(8);
      port->SetParityMode(kNoParity);
      port->SetStopBits(1);
      port->SetDTR(false);
      port->SetRTS(true);  // powers the receiver
      port->SetBlocking(true);
      port->SetTimeout(2500);
      ForgetOpenFailures();
      return port.release();
    }
    TraceOpenFailure(device, first, flags);
    ReportOpenFailure(device, first);
  }
  // A named port of this machine's kind that is not there ("serial0" names no device at all).
  if (name != nullptr && !found && !CurrentReceiverDevices()->NodeFor(name).empty())
    ReportOpenFailure(name, kNoDevice);
  return nullptr;
}

int32_t close_multi(ReceiverPort* port) {
  if (port == nullptr) return 0;
  port->Close();
  delete port;
  return 0;
}

}  // namespace koru
