#include "receiver/port_open_failure.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

std::mutex g_mutex;
std::vector<std::pair<std::string, std::string>> g_failures;  // port, text

bool IsKernelReceiver(const std::string& name) {
  return name.rfind("lirc", 0) == 0;
}

// What a user can do about it, by reason.
std::string Advice(const std::string& name, const std::string& node, status_t status,
                   const std::string& group) {
  const bool lirc = IsKernelReceiver(name);
  switch (status) {
    case kEntryNotFound:
    case kNoDevice:
      return lirc ? "Load the kernel driver of the receiver (for a receiver on a serial "
                    "port: modprobe serial_ir), or choose another port under \"IR-Sensor:\"."
                  : "Connect the receiver or its USB adapter, or choose a port this computer "
                    "has under \"IR-Sensor:\" on the settings page.";
    case kNotAllowed:
      if (!group.empty() && group != "root")
        return "The device belongs to the group '" + group + "': join it (sudo adduser $USER " +
               group + ") and log in again.";
      return "Only root may use " + (node.empty() ? name : node) +
             ": give your user read and write access to it (a udev rule), then start "
             "KORU again.";
    case kBusy:
      return lirc ? "Another program reads the receiver (lircd?): stop it, or quit the "
                    "other KORU."
                  : "Another program uses the port (another KORU, a terminal program, "
                    "lircd): quit it. If the kernel's serial_ir driver holds the port, "
                    "choose lirc0 instead.";
    default:
      return lirc ? "Check the receiver and its kernel driver (dmesg)."
                  : "If the kernel's serial_ir driver has taken the port, choose lirc0 "
                    "instead; otherwise check the port (dmesg).";
  }
}

std::string Reason(status_t status) {
  switch (status) {
    case kEntryNotFound:
    case kNoDevice:
      return "no such device";
    case kNotAllowed:
      return "permission denied";
    case kBusy:
      return "busy";
    default:
      return StatusText(status);
  }
}

}  // namespace

std::string OpenFailureText(const std::string& name, const std::string& node, status_t status,
                            const std::string& group) {
  std::string text = "Cannot open the receiver port " + name;
  if (!node.empty()) text += " (" + node + ")";
  return text + ": " + Reason(status) + ". " + Advice(name, node, status, group);
}

void RecordOpenFailure(const std::string& name, const std::string& text) {
  std::lock_guard lock(g_mutex);
  for (auto& [port, recorded] : g_failures) {
    if (port == name) {
      recorded = text;
      return;
    }
  }
  g_failures.emplace_back(name, text);
}

void ForgetOpenFailures() {
  std::lock_guard lock(g_mutex);
  g_failures.clear();
}

std::string RecentOpenFailures() {
  std::lock_guard lock(g_mutex);
  std::string all;
  for (const auto& [port, text] : g_failures) all += text + "\n";
  return all;
}
