#include "platform/lines/kernel_receivers.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace koru {

namespace fs = std::filesystem;

namespace {

// "rc12" -> 12; -1 for other names.
int NumberOf(const std::string& name, const std::string& prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return -1;
  int number = 0;
  for (size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9' || number > 100000) return -1;
    number = number * 10 + (name[i] - '0');
  }
  return number;
}

// The first entry of `folder` named prefix + number.
std::string FirstNumbered(const fs::path& folder, const std::string& prefix) {
  std::error_code error;
  std::string found;
  int best = -1;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    const int number = NumberOf(name, prefix);
    if (number >= 0 && (best < 0 || number < best)) {
      best = number;
      found = name;
    }
  }
  return found;
}

}  // namespace

std::string KernelReceiver::ShownName() const {
  std::string name = device_name;
  // The USB ids at the end say nothing to the user.
  if (const size_t open = name.rfind(" ("); open != std::string::npos && name.back() == ')')
    name.erase(open);
  if (name.empty()) name = rc;
  if (!driver.empty()) name += " (" + driver + ")";
  if (!lirc.empty()) name += ", " + lirc;
  return name;
}

std::vector<KernelReceiver> FindKernelReceivers(const std::string& sysfs) {
  std::vector<std::pair<int, KernelReceiver>> found;
  std::error_code error;
  const fs::path root = fs::path(sysfs) / "class/rc";
  for (const auto& entry : fs::directory_iterator(root, error)) {
    KernelReceiver receiver;
    receiver.rc = entry.path().filename().string();
    const int number = NumberOf(receiver.rc, "rc");
    if (number < 0) continue;
    std::ifstream uevent(entry.path() / "uevent");
    std::string line;
    while (std::getline(uevent, line)) {
      if (line.rfind("DRV_NAME=", 0) == 0) receiver.driver = line.substr(9);
      if (line.rfind("DEV_NAME=", 0) == 0) receiver.device_name = line.substr(9);
    }
    receiver.lirc = FirstNumbered(entry.path(), "lirc");
    const std::string input = FirstNumbered(entry.path(), "input");
    if (!input.empty()) receiver.input_event = FirstNumbered(entry.path() / input, "event");
    std::ifstream protocols_file(entry.path() / "protocols");
    std::string word;
    while (protocols_file >> word)
      if (word.size() > 2 && word.front() == '[' && word.back() == ']')
        receiver.enabled_protocols.push_back(word.substr(1, word.size() - 2));
    found.emplace_back(number, std::move(receiver));
  }
  std::sort(found.begin(), found.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<KernelReceiver> receivers;
  for (auto& [number, receiver] : found) receivers.push_back(std::move(receiver));
  return receivers;
}

}  // namespace koru
