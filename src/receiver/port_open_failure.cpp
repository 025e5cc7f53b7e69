#include "receiver/port_open_failure.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace koru {

namespace {

std::mutex g_mutex;
std::vector<OpenFailure> g_failures;

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
      if (lirc)
        return "Load the kernel driver of the receiver (for a receiver on a serial port: "
               "modprobe serial_ir), or choose another port under \"IR-Sensor:\".";
      if (name.rfind("usb", 0) == 0)
        return "Plug in the USB serial adapter, or choose a port this computer has under "
               "\"IR-Sensor:\" on the settings page.";
      return "Choose a port this computer has under \"IR-Sensor:\" on the settings page (a "
             "USB serial adapter is usb0..usb3, a kernel receiver lirc0..).";
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

OpenFailure ExplainOpenFailure(const std::string& name, const std::string& node, status_t status,
                               const std::string& group) {
  OpenFailure failure;
  failure.name = name;
  failure.reason = "Cannot open the receiver port " + name;
  if (!node.empty()) failure.reason += " (" + node + ")";
  failure.reason += ": " + Reason(status) + ".";
  failure.advice = Advice(name, node, status, group);
  failure.missing = status == kEntryNotFound || status == kNoDevice;
  return failure;
}

void RecordOpenFailure(const OpenFailure& failure) {
  std::lock_guard lock(g_mutex);
  for (OpenFailure& recorded : g_failures) {
    if (recorded.name == failure.name) {
      recorded = failure;
      return;
    }
  }
  g_failures.push_back(failure);
}

void ForgetOpenFailures() {
  std::lock_guard lock(g_mutex);
  g_failures.clear();
}

std::string RecentOpenFailures(bool with_missing) {
  std::lock_guard lock(g_mutex);
  std::string reasons;
  std::vector<std::string> advice;
  for (const OpenFailure& failure : g_failures) {
    if (failure.missing && !with_missing) continue;
    reasons += failure.reason + "\n";
    // The walk over the fallback ports repeats the same advice; it is said once.
    if (std::find(advice.begin(), advice.end(), failure.advice) == advice.end())
      advice.push_back(failure.advice);
  }
  for (const std::string& line : advice) reasons += line + "\n";
  return reasons;
}

std::string NoReceiverText() {
  const std::string problems = RecentOpenFailures(false);
  std::string text = problems.empty() ? "No receiver was found.\n\n"
                                      : "No receiver could be opened:\n" + problems + "\n";
  text +=
      "KORU can use an infrared receiver on a serial port (serial1..serial4: "
      "/dev/ttyS0../dev/ttyS3), "
      "on a USB serial adapter (usb0..usb3: /dev/ttyUSB0../dev/ttyUSB3) or one the kernel offers "
      "(lirc0..: /dev/lirc0..). Choose it under \"IR-Sensor:\" on the settings page.\n\n"
      "To see KORU at work without a receiver, play the demo:\n"
      "  koru --port replay:demo.mode2 --dry-run\n";
  return text;
}

}  // namespace koru
