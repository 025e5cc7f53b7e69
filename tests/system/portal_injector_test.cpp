// The RemoteDesktop portal backend against fake_portal.py on the private session bus that
// run_system_tests.sh starts.
#include "platform/desktop/portal_injector.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <map>

#include "platform/messaging/trace.h"
#include "system_test_support.h"
#include "table_cells.h"

extern char** environ;

namespace koru {

namespace {

using namespace system_test;
namespace fs = std::filesystem;

bool PortalOnBus() {
  return Command(
             "dbus-send --session --print-reply --dest=org.freedesktop.DBus "
             "/org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner "
             "string:org.freedesktop.portal.Desktop")
             .find("boolean true") != std::string::npos;
}

// fake_portal.py in a process of its own, on the bus until it goes; its calls land in `log`.
class FakePortal {
 public:
  explicit FakePortal(const fs::path& log, const std::vector<std::string>& options = {}) {
    std::vector<std::string> words = {"/usr/bin/python3", Scripts() / "fake_portal.py", log};
    words.insert(words.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
    ready_ = pid_ > 0 && Eventually(PortalOnBus);
  }
  ~FakePortal() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    Eventually([] { return !PortalOnBus(); });
  }
  bool Ready() const { return ready_; }

 private:
  pid_t pid_ = -1;
  bool ready_ = false;
};

TEST(Portal, ProbeSaysWhyThereIsNoPortal) {
  std::string why_not;
  EXPECT_EQ(OpenPortalInjector(&why_not), nullptr);
  EXPECT_NE(why_not.find("no desktop portal"), std::string::npos) << why_not;

  FakePortal portal(Work() / "portal.log", {"--no-remote-desktop"});
  ASSERT_TRUE(portal.Ready());
  EXPECT_EQ(OpenPortalInjector(&why_not), nullptr);
  EXPECT_NE(why_not.find("offers no remote desktop"), std::string::npos) << why_not;

  // The bus's address is read once per process: without one, nothing is tried.
  ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", nullptr), runtime("XDG_RUNTIME_DIR", nullptr);
  EXPECT_EQ(OpenPortalInjector(&why_not), nullptr);
  EXPECT_NE(why_not.find("no session bus"), std::string::npos) << why_not;
}

// Each row of data/portal_scenarios.tsv: the injector's steps run on a thread of their own, as
// the action thread runs them.
TEST(Portal, InputGoesThroughOneSessionAndRefusalsAndLostSessionsAreSaidOnce) {
  const std::map<std::string, status_t> statuses = {
      {"ok", kOk}, {"refused", kNotAllowed}, {"gone", kNoDevice}};
  const fs::path log = Work() / "portal.log";
  for (const auto& row : ReadTable("system/data/portal_scenarios.tsv", 5)) {
    SCOPED_TRACE(row[0] + " / " + row[1]);
    fs::remove(PortalTokenFile());
    fs::remove(log);
    auto portal = std::make_unique<FakePortal>(log, CellList(row[0]));
    ASSERT_TRUE(portal->Ready());
    TraceCapture trace;
    std::thread([&] {
      std::string why_not;
      std::unique_ptr<InputInjector> injector = OpenPortalInjector(&why_not);
      ASSERT_NE(injector, nullptr) << why_not;
      for (const std::string& step : CellList(row[1])) {
        if (step == "again") {
          injector.reset();
          injector = OpenPortalInjector(&why_not);
        } else if (step == "stop" || step == "restart") {
          portal.reset();
          if (step == "restart") portal = std::make_unique<FakePortal>(log);
        } else {
          const size_t equals = step.find('=');
          const std::vector<std::string> words = CellList(step.substr(0, equals), ',');
          std::vector<int32_t> n;
          for (size_t i = 1; i < words.size(); ++i) n.push_back(std::stoi(words[i]));
          const std::string& op = words[0];
          const status_t status =
              op == "click" ? injector->Click()
              : op == "key" ? injector->Stroke(std::vector<uint16_t>(n.begin(), n.end()))
                            : injector->MovePointer({n[0], n[1]}, {n[2], n[3]}, {n[4], n[5]});
          EXPECT_EQ(status, statuses.at(step.substr(equals + 1))) << step;
        }
      }
    }).join();
    std::vector<std::string> calls = CellList(ReadAll(log), '\n');
    std::erase(calls, "Close");
    EXPECT_EQ(calls, CellList(row[2], '|'));
    for (const std::string& words : CellList(row[3], '|'))
      EXPECT_EQ(Occurrences(trace.Text(), words), 1u) << trace.Text();
    EXPECT_EQ(ReadAll(PortalTokenFile()), Unescaped(row[4]));
    struct stat info {};
    EXPECT_TRUE(row[4].empty() ||
                (stat(PortalTokenFile().c_str(), &info) == 0 && (info.st_mode & 0777) == 0600));
  }
}

}  // namespace

}  // namespace koru
