#pragma once
// Receiver devices for tests: the named devices open as lines driven by the test; any other
// name has no device. Never touches a real port.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/lines/driven_line.h"
#include "platform/lines/receiver_port.h"

namespace koru {

class FakeReceiverDevices : public ReceiverDevices {
 public:
  explicit FakeReceiverDevices(std::vector<std::string> names) : names_(std::move(names)) {}
  std::vector<std::string> List() override { return names_; }
  int32_t Open(const std::string& name, std::unique_ptr<ReceiverLine>* line) override {
    if (std::find(names_.begin(), names_.end(), name) == names_.end()) return kNoDevice;
    if (busy_ == name) return kBusy;
    auto driven = std::make_unique<DrivenLine>(DrivenLine::Wait::kEvent);
    lines_[name] = driven.get();
    *line = std::move(driven);
    ++opens_;
    return 3;
  }
  // The line last opened for `name` (valid while its port is open).
  DrivenLine* Line(const std::string& name) { return lines_[name]; }
  void SetBusy(const std::string& name) { busy_ = name; }
  int Opens() const { return opens_; }

 private:
  std::vector<std::string> names_;
  std::map<std::string, DrivenLine*> lines_;
  std::string busy_;
  int opens_ = 0;
};

}  // namespace koru
