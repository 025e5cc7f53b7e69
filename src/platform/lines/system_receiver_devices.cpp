#include "platform/lines/system_receiver_devices.h"

#include <sys/stat.h>

#include <algorithm>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/lines/input_grab.h"
#include "platform/lines/kernel_receivers.h"
#include "platform/lines/lirc_line.h"
#include "platform/lines/replay_line.h"
#include "platform/lines/serial_line.h"
#include "platform/messaging/alert.h"
#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr int kSerialPorts = 4;  // "serial1".."serial4"
constexpr int kUsbPorts = 4;     // "usb0".."usb3"
constexpr int kLircDevices = 8;

bool Exists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string ReadFirstLine(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  std::getline(file, line);
  return line;
}

// "serial3" -> 3 for prefix "serial"; -1 otherwise.
int NumberAfter(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
  int number = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || number > 1000) return -1;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

}  // namespace

SystemReceiverDevices::SystemReceiverDevices(std::string sysfs, std::string dev,
                                             std::string consoles)
    : sysfs_(std::move(sysfs)), dev_(std::move(dev)), consoles_(std::move(consoles)) {}

bool SystemReceiverDevices::IsConsole(const std::string& tty) const {
  std::ifstream file(consoles_);
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream words(line);
    std::string name;
    if (words >> name && name == tty) return true;
  }
  // The active consoles as sysfs lists them ("tty0 ttyS0").
  std::istringstream active(ReadFirstLine(sysfs_ + "/class/tty/console/active"));
  std::string name;
  while (active >> name) {
    if (name == tty) return true;
  }
  return false;
}

bool SystemReceiverDevices::UartPresent(const std::string& tty) const {
  const std::string base = sysfs_ + "/class/tty/" + tty;
  if (!Exists(base + "/device")) return false;
  // Legacy 8250 nodes without a UART behind them report type 0.
  const std::string type = ReadFirstLine(base + "/type");
  return type.empty() || type != "0";
}

std::string SystemReceiverDevices::NodeFor(const std::string& name) const {
  if (int n = NumberAfter(name, "serial"); n >= 1 && n <= kSerialPorts)
    return dev_ + "/ttyS" + std::to_string(n - 1);
  if (int n = NumberAfter(name, "usb"); n >= 0 && n < kUsbPorts)
    return dev_ + "/ttyUSB" + std::to_string(n);
  if (int n = NumberAfter(name, "lirc"); n >= 0) return dev_ + "/lirc" + std::to_string(n);
  return {};
}

std::string SystemReceiverDevices::ShownName(const std::string& name) const {
  if (name.rfind("lirc", 0) != 0) return name;
  for (const KernelReceiver& receiver : FindKernelReceivers(sysfs_))
    if (receiver.lirc == name) return receiver.ShownName();
  return name;
}

std::vector<std::string> SystemReceiverDevices::List() {
  std::vector<std::string> names;
  for (int n = 1; n <= kSerialPorts; ++n) {
    const std::string tty = "ttyS" + std::to_string(n - 1);
    if (UartPresent(tty) && !IsConsole(tty) && Exists(dev_ + "/" + tty))
      names.push_back("serial" + std::to_string(n));
  }
  for (int n = 0; n < kUsbPorts; ++n) {
    const std::string tty = "ttyUSB" + std::to_string(n);
    if (UartPresent(tty) && !IsConsole(tty) && Exists(dev_ + "/" + tty))
      names.push_back("usb" + std::to_string(n));
  }
  // The kernel's receivers in the order of their rc numbers, then lirc nodes sysfs does not
  // show (another driver's).
  for (const KernelReceiver& receiver : FindKernelReceivers(sysfs_))
    if (!receiver.lirc.empty() && Exists(dev_ + "/" + receiver.lirc))
      names.push_back(receiver.lirc);
  for (int n = 0; n < kLircDevices; ++n) {
    const std::string lirc = "lirc" + std::to_string(n);
    if (Exists(dev_ + "/" + lirc) && std::find(names.begin(), names.end(), lirc) == names.end())
      names.push_back(lirc);
  }
  if (const char* replay = std::getenv("KORU_REPLAY"); replay != nullptr && *replay != '\0')
    names.push_back(std::string("replay:") + replay);
  return names;
}

int32_t SystemReceiverDevices::OpenKernelReceiver(const std::string& name, const std::string& node,
                                                  std::unique_ptr<ReceiverLine>* line) {
  KernelReceiver receiver;
  for (const KernelReceiver& found : FindKernelReceivers(sysfs_))
    if (found.lirc == name) receiver = found;
  auto grab = std::make_unique<InputGrab>(SystemInputGrab(), receiver, dev_);
  const std::string words = grab->Words();
  const int32_t opened = LircLine::Open(node, line, std::move(grab));
  // Said once per receiver and run (the port is opened twice, and again at every change), where
  // the user looks: a key acting twice is a fault they must clear.
  static std::mutex said_mutex;
  static std::set<std::string> said;
  bool say = false;
  if (opened > 0 && !words.empty()) {
    std::lock_guard lock(said_mutex);
    say = said.insert(name).second;
  }
  if (say) AnyAlert(words, false);
  // The kernel decodes only the protocols enabled for the receiver.
  if (opened > 0 && *line && (*line)->GivesScancodes() && !receiver.rc.empty()) {
    std::string enabled;
    for (const std::string& protocol : receiver.enabled_protocols) enabled += " " + protocol;
    Trace("%s decodes by itself:%s; another protocol: ir-keytable -s %s -p PROTOCOL\n",
          name.c_str(), enabled.empty() ? " no protocol" : enabled.c_str(), receiver.rc.c_str());
  }
  return opened;
}

int32_t SystemReceiverDevices::Open(const std::string& name, std::unique_ptr<ReceiverLine>* line) {
  if (name.rfind("replay:", 0) == 0) return ReplayLine::Open(name.substr(7), line);
  const std::string node = NodeFor(name);
  if (node.empty()) return kEntryNotFound;
  const std::string tty = node.substr(node.rfind('/') + 1);
  if (name.rfind("lirc", 0) == 0) return OpenKernelReceiver(name, node, line);
  // Never the console, whatever the settings say.
  if (IsConsole(tty)) return kNotAllowed;
  return SerialLine::Open(node, line);
}

}  // namespace koru
