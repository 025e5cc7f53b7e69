#include "platform/desktop/desktop_report.h"

namespace koru {

std::string DesktopReport::TraceLine() const {
  std::string line = "desktop: " + session;
  const char* separator = ": ";
  for (const DesktopCapability& capability : capabilities) {
    line += separator + capability.name + " " +
            (capability.Available() ? capability.backend : std::string("none"));
    separator = ", ";
  }
  return line;
}

const DesktopCapability* DesktopReport::Find(const std::string& name) const {
  for (const DesktopCapability& capability : capabilities) {
    if (capability.name == name) return &capability;
  }
  return nullptr;
}

namespace {

std::string MissingNames(const std::vector<DesktopCapability>& capabilities) {
  std::string names;
  for (const DesktopCapability& capability : capabilities) {
    if (capability.Available()) continue;
    names += (names.empty() ? "" : ", ") + capability.name;
  }
  return names;
}

}  // namespace

bool DesktopReport::Complete() const {
  return MissingNames(capabilities).empty();
}

std::string DesktopReport::Summary() const {
  std::string missing = MissingNames(capabilities);
  return "Desktop: " + session + "\n" +
         (missing.empty() ? "Every desktop action works." : "Not possible: " + missing);
}

std::string DesktopReport::Details() const {
  std::string text = "Desktop: " + session;
  for (const DesktopCapability& capability : capabilities) {
    text += "\n" + capability.name + ": ";
    if (capability.Available()) {
      text += capability.backend;
      continue;
    }
    text += "not possible (" + capability.missing + ")";
    if (!capability.remedy.empty()) text += ". " + capability.remedy;
  }
  return text;
}

std::vector<std::string> DesktopReport::Notices() const {
  std::vector<std::string> lines;
  std::string missing = MissingNames(capabilities);
  if (!missing.empty()) {
    lines.push_back("Not possible on this desktop (" + session + "): " + missing +
                    ". The settings page says why.");
  }
  for (const DesktopCapability& capability : capabilities) {
    if (capability.backend == "portal") {
      lines.push_back(
          "To turn your remote's keys into key presses, clicks and pointer moves, KORU asks the "
          "desktop for remote control of the keyboard and pointer (never of the screen): the "
          "desktop asks you once, at the first remote key that needs it.");
      break;
    }
  }
  return lines;
}

}  // namespace koru
