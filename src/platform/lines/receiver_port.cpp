#include "platform/lines/receiver_port.h"

#include <cstring>
#include <mutex>

#include "platform/lines/system_receiver_devices.h"

namespace koru {

namespace {
std::mutex g_devices_mutex;
std::shared_ptr<ReceiverDevices> g_devices;
thread_local SameDeviceList* t_same_list = nullptr;
}  // namespace

SameDeviceList::SameDeviceList() : outer_(t_same_list) {
  t_same_list = this;
}

SameDeviceList::~SameDeviceList() {
  t_same_list = outer_;
}

void SetReceiverDevices(std::shared_ptr<ReceiverDevices> devices) {
  std::lock_guard lock(g_devices_mutex);
  g_devices = std::move(devices);
}

std::shared_ptr<ReceiverDevices> CurrentReceiverDevices() {
  std::lock_guard lock(g_devices_mutex);
  if (!g_devices) g_devices = std::make_shared<SystemReceiverDevices>();
  return g_devices;
}

ReceiverPort::ReceiverPort() : devices_(CurrentReceiverDevices()) {}

ReceiverPort::ReceiverPort(std::unique_ptr<ReceiverLine> line, std::string name)
    : line_(std::move(line)), name_(std::move(name)) {}

ReceiverPort::~ReceiverPort() = default;

int32_t ReceiverPort::CountDevices() {
  if (!devices_) return 0;
  if (SameDeviceList* same = t_same_list) {
    if (!same->listed_) same->names_ = devices_->List();
    same->listed_ = true;
    names_ = same->names_;
  } else {
    names_ = devices_->List();
  }
  return static_cast<int32_t>(names_.size());
}

status_t ReceiverPort::GetDeviceName(int32_t index, char* name, size_t size) {
  if (index < 0 || static_cast<size_t>(index) >= names_.size() || name == nullptr || size == 0)
    return kBadIndex;
  const std::string& found = names_[static_cast<size_t>(index)];
  const size_t length = found.size() < size - 1 ? found.size() : size - 1;
  std::memcpy(name, found.data(), length);
  name[length] = '\0';
  return kOk;
}

int32_t ReceiverPort::Open(const char* name) {
  Close();
  if (name == nullptr || !devices_) return kBadValue;
  std::unique_ptr<ReceiverLine> line;
  const int32_t result = devices_->Open(name, &line);
  if (result <= 0) return result == 0 ? kError : result;
  if (!line) return kError;
  line_ = std::move(line);
  name_ = name;
  return result;
}

void ReceiverPort::Close() {
  line_.reset();
  name_.clear();
}

status_t ReceiverPort::SetFlowControl(uint32_t flags) {
  return line_ ? line_->SetFlowControl(flags) : kNoDevice;
}
status_t ReceiverPort::SetDataRate(int32_t bits_per_second) {
  return line_ ? line_->SetDataRate(bits_per_second) : kNoDevice;
}
status_t ReceiverPort::SetDataBits(int32_t bits) {
  return line_ ? line_->SetDataBits(bits) : kNoDevice;
}
status_t ReceiverPort::SetParityMode(int32_t parity) {
  return line_ ? line_->SetParityMode(parity) : kNoDevice;
}
status_t ReceiverPort::SetStopBits(int32_t bits) {
  return line_ ? line_->SetStopBits(bits) : kNoDevice;
}
status_t ReceiverPort::SetDTR(bool on) {
  return line_ ? line_->SetDTR(on) : kNoDevice;
}
status_t ReceiverPort::SetRTS(bool on) {
  return line_ ? line_->SetRTS(on) : kNoDevice;
}
status_t ReceiverPort::SetBlocking(bool on) {
  return line_ ? line_->SetBlocking(on) : kNoDevice;
}
status_t ReceiverPort::SetTimeout(bigtime_t microseconds) {
  return line_ ? line_->SetTimeout(microseconds) : kNoDevice;
}
status_t ReceiverPort::ClearInput() {
  return line_ ? line_->ClearInput() : kNoDevice;
}
status_t ReceiverPort::ClearOutput() {
  return line_ ? line_->ClearOutput() : kNoDevice;
}
bool ReceiverPort::IsDCD() {
  return line_ ? line_->IsDCD() : false;
}
status_t ReceiverPort::WaitForChange(bigtime_t since, bigtime_t deadline, LevelChange* change) {
  return line_ ? line_->WaitForChange(since, deadline, change) : kNoDevice;
}

}  // namespace koru
