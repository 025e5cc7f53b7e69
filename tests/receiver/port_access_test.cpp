#include "receiver/port_access.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/messaging/test_loopers.h"
#include "platform/messaging/trace.h"
#include "receiver/port_open_failure.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_messages.h"
#include "recording_report_sink.h"
#include "sectioned_file.h"
#include "table_cells.h"
#include "temp_dir.h"

namespace koru {

namespace {

// Records every settings call in order.
class LoggingLine : public ReceiverLine {
 public:
  explicit LoggingLine(std::string* log) : log_(log) {}
  status_t SetFlowControl(uint32_t f) override { return Log("flow", f); }
  status_t SetDataRate(int32_t r) override { return Log("rate", r); }
  status_t SetDataBits(int32_t b) override { return Log("bits", b); }
  status_t SetParityMode(int32_t p) override { return Log("parity", p); }
  status_t SetStopBits(int32_t s) override { return Log("stop", s); }
  status_t SetDTR(bool on) override { return Log("dtr", on); }
  status_t SetRTS(bool on) override { return Log("rts", on); }
  status_t SetBlocking(bool on) override { return Log("blocking", on); }
  status_t SetTimeout(bigtime_t t) override { return Log("timeout", t); }
  bool IsDCD() override { return false; }
  status_t WaitForChange(bigtime_t, bigtime_t, LevelChange*) override { return kLineEnded; }

 private:
  status_t Log(const char* setting, int64_t value) {
    *log_ += std::string(setting) + " " + std::to_string(value) + ", ";
    return kOk;
  }
  std::string* log_;
};

class FakeDevices : public ReceiverDevices {
 public:
  std::vector<std::pair<std::string, int32_t>> devices;  // name, result of opening it
  std::vector<std::string> opened;
  std::string log;
  std::map<std::string, std::string> nodes;  // name, device node
  int listings = 0;

  std::string NodeFor(const std::string& name) const override {
    const auto found = nodes.find(name);
    return found == nodes.end() ? std::string() : found->second;
  }
  std::vector<std::string> List() override {
    ++listings;
    std::vector<std::string> names;
    for (const auto& [name, result] : devices) names.push_back(name);
    return names;
  }
  int32_t Open(const std::string& name, std::unique_ptr<ReceiverLine>* line) override {
    opened.push_back(name);
    for (const auto& [device, result] : devices) {
      if (device != name) continue;
      if (result > 0) *line = std::make_unique<LoggingLine>(&log);
      return result;
    }
    return kEntryNotFound;
  }
};

class PortAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    SetReceiverDevices(devices_);
    SetAppMessenger(inbox_.GetMessenger());
    flags_.scanning.store(1);
    flags_.receiving.store(1);
  }
  void TearDown() override {
    ForgetOpenFailures();
    SetReceiverDevices(nullptr);
    SetAppMessenger(Messenger());
  }

  std::shared_ptr<FakeDevices> devices_ = std::make_shared<FakeDevices>();
  ImmediateLooper looper_;
  MessageInbox inbox_{&looper_};
  TraceCapture trace_;
  ReceiverFlags flags_;
};

// Without a name the highest device that opens is taken; a name no device has opens nothing.
TEST_F(PortAccess, WithoutANameTheHighestDeviceThatOpensIsTaken) {
  devices_->devices = {{"serial1", 3}, {"serial2", 4}, {"lirc0", kNotAllowed}};
  EXPECT_EQ(open_multi("usb3", &flags_), nullptr);
  EXPECT_EQ(close_multi(nullptr), 0);
  ReceiverPort* port = open_multi(nullptr, &flags_);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(port->Name(), "serial2");
  EXPECT_EQ(devices_->opened, (std::vector<std::string>{"lirc0", "lirc0", "serial2", "serial2"}));
  EXPECT_EQ(devices_->log,
            "flow 1, rate 19200, bits 8, parity 0, stop 1, dtr 0, rts 1, "
            "blocking 1, timeout 2500, ");
  EXPECT_TRUE(trace_.Contains(" PERMISSION_DENIED\n " + std::to_string(kNotAllowed) + ": "));
  EXPECT_TRUE(trace_.Contains("..listen on 'serial2' \n19200 BPS\n"));
  EXPECT_TRUE(inbox_.received.empty());
  EXPECT_EQ(close_multi(port), 0);
}

TEST_F(PortAccess, AttemptsInOneScopeListTheDevicesOnceAndTheSameWay) {
  devices_->devices = {{"serial1", kNoDevice}, {"usb0", 4}};
  std::vector<ReceiverPort*> opened;
  {
    const SameDeviceList same;
    for (const char* name : {"serial3", "serial1", "usb0"})
      opened.push_back(open_multi(name, &flags_));
  }
  EXPECT_EQ(devices_->listings, 1);
  EXPECT_EQ(opened[0], nullptr);
  EXPECT_EQ(opened[1], nullptr);
  ASSERT_NE(opened[2], nullptr);
  EXPECT_EQ(devices_->opened, (std::vector<std::string>{"serial1", "serial1", "usb0", "usb0"}));
  close_multi(opened[2]);
  // Outside the scope every attempt looks again: a device plugged in meanwhile is found.
  devices_->devices.push_back({"usb1", 5});
  ReceiverPort* later = open_multi("usb1", &flags_);
  EXPECT_NE(later, nullptr);
  EXPECT_EQ(devices_->listings, 2);
  close_multi(later);
}

// The words of a case of data/open_failures.txt, for serial1 on `node` of `group`.
std::string FailureWords(const std::string& name, const std::string& node = "",
                         const std::string& group = "") {
  const auto sections =
      ReadSections(KORU_SOURCE_DIR "/tests/receiver/data/open_failures.txt", "=== ");
  std::map<std::string, std::string> words(sections.begin(), sections.end());
  std::string text = words[name];
  const std::string join = words[group == "root" ? "join root" : "join group"];
  for (const auto& [field, value] : std::map<std::string, std::string>{
           {"{join}", join.substr(0, join.size() - 1)}, {"{node}", node}, {"{group}", group}})
    for (size_t at; (at = text.find(field)) != std::string::npos;)
      text.replace(at, field.size(), value);
  return text;
}

TEST_F(PortAccess, FailuresAreExplainedWithTheDeviceAndWhatToDo) {
  // A file with no permissions stands in for a device node of the user's group.
  TempDir dir;
  const std::filesystem::path node = dir.Path() / "ttyS0";
  std::ofstream(node) << "";
  std::filesystem::permissions(node, std::filesystem::perms::none);
  // The group that owns it, as the system tools name it.
  const std::string named = (dir.Path() / "group").string();
  ASSERT_EQ(std::system(("stat -c %G '" + node.string() + "' >" + named).c_str()), 0);
  const std::string group = CellList(ReadAll(named), '\n').at(0);

  devices_->devices = {{"serial1", kNotAllowed}, {"serial2", kBusy}, {"lirc0", kBusy}};
  devices_->nodes = {{"serial1", node.string()},
                     {"serial2", "/dev/ttyS1"},
                     {"usb0", "/dev/ttyUSB0"},
                     {"lirc0", "/dev/lirc0"}};
  for (const char* name : {"serial1", "serial2", "usb0", "lirc0", "serial0"})
    EXPECT_EQ(open_multi(name, &flags_), nullptr) << name;
  // Each busy port (serial2, lirc0) posts one report and stops receiving.
  ASSERT_EQ(inbox_.received.size(), 2u);
  EXPECT_EQ(inbox_.received[0].what, kReceiverPortBusy);
  EXPECT_EQ(inbox_.received[1].what, kReceiverPortBusy);
  EXPECT_EQ(flags_.scanning.load() + flags_.receiving.load(), 0);

  // Each failure with its advice on the trace ("serial0" names no device at all); for the "no
  // port" report the reasons, then each piece of advice once.
  const std::string report = FailureWords("four failures", node.string(), group);
  const std::vector<std::string> lines = CellList(report, '\n');
  ASSERT_EQ(lines.size(), 8u) << report;
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(trace_.Contains(lines[i] + " " + lines[4 + i] + "\n")) << lines[i] << trace_.Text();
  EXPECT_EQ(RecentOpenFailures(), report);
  devices_->devices = {{"serial3", kNoDevice}, {"serial4", kNoDevice}};
  ForgetOpenFailures();
  open_multi("serial3", &flags_);
  open_multi("serial4", &flags_);
  EXPECT_EQ(RecentOpenFailures(), FailureWords("two missing ports"));

  // A port that opens ends the story of the failures before it.
  devices_->devices = {{"serial1", 3}};
  ReceiverPort* port = open_multi("serial1", &flags_);
  ASSERT_NE(port, nullptr);
  EXPECT_EQ(RecentOpenFailures(), "");
  close_multi(port);
}

TEST(OpenFailureText, NamesTheKernelDriverForAMissingKernelReceiver) {
  EXPECT_EQ(ExplainOpenFailure("lirc0", "/dev/lirc0", kNoDevice, "").Text() + "\n",
            FailureWords("a missing kernel receiver"));
}

}  // namespace

}  // namespace koru
