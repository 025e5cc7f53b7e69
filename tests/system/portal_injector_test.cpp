// The RemoteDesktop portal backend against fake_portal.py on the private session bus that
// run_system_tests.sh starts. Each scenario runs on a thread of its own without a Qt event
// loop, as the actions do.
#include "platform/desktop/portal_injector.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <functional>

#include "platform/messaging/trace.h"
#include "system_test_support.h"

extern char** environ;

namespace koru {

namespace {

using namespace system_test;
namespace fs = std::filesystem;
using Calls = std::vector<std::string>;

constexpr uint16_t kLeftCtrl = 29;
constexpr uint16_t kA = 30;

bool PortalOnBus() {
  return Command(
             "dbus-send --session --print-reply --dest=org.freedesktop.DBus "
             "/org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner "
             "string:org.freedesktop.portal.Desktop")
             .find("boolean true") != std::string::npos;
}

// fake_portal.py in a process of its own, on the bus until Stop.
class FakePortal {
 public:
  explicit FakePortal(const std::vector<std::string>& options = {}) {
    static int count = 0;
    log_ = Work() / ("portal-" + std::to_string(++count) + ".log");
    std::vector<std::string> words = {"/usr/bin/python3", Scripts() / "fake_portal.py", log_};
    words.insert(words.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
    ready_ = pid_ > 0 && Eventually(PortalOnBus);
  }
  ~FakePortal() { Stop(); }
  bool Ready() const { return ready_; }
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
    Eventually([] { return !PortalOnBus(); });
  }
  Calls Log() const {
    Calls calls;
    std::istringstream lines(ReadAll(log_));
    for (std::string line; std::getline(lines, line);) calls.push_back(line);
    return calls;
  }

 private:
  fs::path log_;
  pid_t pid_ = -1;
  bool ready_ = false;
};

// Opens an injector and hands it to `body` on a new thread, as the action thread runs it.
void WithInjector(const std::function<void(InputInjector&)>& body) {
  std::thread thread([&] {
    std::string why_not;
    std::unique_ptr<InputInjector> injector = OpenPortalInjector(&why_not);
    ASSERT_NE(injector, nullptr) << why_not;
    body(*injector);
  });
  thread.join();
}

class PortalTest : public ::testing::Test {
 protected:
  void SetUp() override { fs::remove(PortalTokenFile()); }
};

TEST_F(PortalTest, ProbeSaysWhyThereIsNoPortal) {
  std::string why_not;
  EXPECT_EQ(OpenPortalInjector(&why_not), nullptr);
  EXPECT_NE(why_not.find("no desktop portal"), std::string::npos) << why_not;

  FakePortal portal({"--no-remote-desktop"});
  ASSERT_TRUE(portal.Ready());
  EXPECT_EQ(OpenPortalInjector(&why_not), nullptr);
  EXPECT_NE(why_not.find("offers no remote desktop"), std::string::npos) << why_not;

  // The bus's address is read once per process: without one, nothing is tried.
  ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", nullptr), runtime("XDG_RUNTIME_DIR", nullptr);
  EXPECT_EQ(OpenPortalInjector(&why_not), nullptr);
  EXPECT_NE(why_not.find("no session bus"), std::string::npos) << why_not;
}

TEST_F(PortalTest, StartsOnceThenSendsKeysClicksAndMovesAndKeepsTheGrant) {
  FakePortal portal;
  ASSERT_TRUE(portal.Ready());
  WithInjector([&](InputInjector& injector) {
    EXPECT_EQ(injector.Stroke({kLeftCtrl, kA}), kOk);
    EXPECT_EQ(injector.Click(), kOk);
    EXPECT_EQ(injector.MovePointer({10, 10}, {15, 7}, {1920, 1080}), kOk);
    EXPECT_EQ(injector.MovePointer({15, 7}, {15, 7}, {}), kOk);  // nothing to send
    EXPECT_EQ(portal.Log(), (Calls{"CreateSession", "SelectDevices types=3 persist_mode=2", "Start",
                                   "key 29 1", "key 30 1", "key 30 0", "key 29 0", "button 272 1",
                                   "button 272 0", "motion 5 -3"}));
  });
  EXPECT_EQ(ReadAll(PortalTokenFile()), "token-1\n");
  struct stat info {};
  ASSERT_EQ(stat(PortalTokenFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // The next run hands the stored token back and keeps the new one: each is good for one start.
  WithInjector([](InputInjector& injector) { EXPECT_EQ(injector.Stroke({kA}), kOk); });
  const Calls calls = portal.Log();
  EXPECT_NE(std::find(calls.begin(), calls.end(),
                      "SelectDevices types=3 persist_mode=2 restore_token=token-1"),
            calls.end());
  EXPECT_EQ(ReadAll(PortalTokenFile()), "token-2\n");
}

TEST_F(PortalTest, OlderPortalIsAskedWithoutKeepingTheGrant) {
  FakePortal portal({"--version", "1"});
  ASSERT_TRUE(portal.Ready());
  WithInjector([](InputInjector& injector) { EXPECT_EQ(injector.Stroke({kA}), kOk); });
  EXPECT_EQ(portal.Log().at(1), "SelectDevices types=3");
  EXPECT_FALSE(fs::exists(PortalTokenFile()));
}

TEST_F(PortalTest, RefusalIsSaidOnceAndNeverAskedAgain) {
  struct Case {
    const char* answer;
    const char* asked;  // the request that was refused
    const char* words;
  };
  const Case cases[] = {
      {"Start=1", "Start", "declined"},
      {"Start=2", "Start", "the desktop refused"},
      {"CreateSession=2", "CreateSession", "the desktop refused"},
  };
  for (const Case& c : cases) {
    FakePortal portal({"--answer", c.answer});
    ASSERT_TRUE(portal.Ready()) << c.answer;
    TraceCapture trace;
    WithInjector([&](InputInjector& injector) {
      EXPECT_EQ(injector.Stroke({kA}), kNotAllowed) << c.answer;
      EXPECT_EQ(injector.Stroke({kA}), kNotAllowed) << c.answer;
      EXPECT_EQ(injector.Click(), kNotAllowed) << c.answer;
      EXPECT_EQ(injector.MovePointer({0, 0}, {1, 1}, {}), kNotAllowed) << c.answer;
    });
    const Calls calls = portal.Log();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), c.asked), 1) << c.answer;
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& call) { return call.find(' ') == 4; }),
              0)
        << "no input sent: " << c.answer;
    EXPECT_EQ(Occurrences(trace.Text(), "will not ask again"), 1u) << trace.Text();
    EXPECT_EQ(Occurrences(trace.Text(), c.words), 1u) << trace.Text();
  }
}

TEST_F(PortalTest, PortalThatGoesAwayFailsCallsWithOneLineUntilItIsBack) {
  auto first = std::make_unique<FakePortal>();
  ASSERT_TRUE(first->Ready());
  TraceCapture trace;
  WithInjector([&](InputInjector& injector) {
    ASSERT_EQ(injector.Stroke({kA}), kOk);
    first->Stop();
    EXPECT_EQ(injector.Stroke({kA}), kNoDevice);
    EXPECT_EQ(injector.Click(), kNoDevice);
    EXPECT_EQ(injector.Stroke({kA}), kNoDevice);
    EXPECT_EQ(Occurrences(trace.Text(), "the desktop portal went away"), 1u) << trace.Text();

    FakePortal second;
    ASSERT_TRUE(second.Ready());
    EXPECT_EQ(injector.Stroke({kA}), kOk);
    EXPECT_EQ(second.Log(),
              (Calls{"CreateSession", "SelectDevices types=3 persist_mode=2 restore_token=token-1",
                     "Start", "key 30 1", "key 30 0"}));
  });
}

TEST_F(PortalTest, SessionTheDesktopEndsFailsTheNextCallAndStartsAgainAfter) {
  FakePortal portal({"--close-after", "2"});
  ASSERT_TRUE(portal.Ready());
  TraceCapture trace;
  WithInjector([&](InputInjector& injector) {
    ASSERT_EQ(injector.Stroke({kA}), kOk);  // its release is the second call: the session ends
    EXPECT_EQ(injector.Stroke({kA}), kNoDevice);
    EXPECT_EQ(Occurrences(trace.Text(), "the desktop ended the remote desktop session"), 1u)
        << trace.Text();
    EXPECT_EQ(injector.Stroke({kA}), kOk);
  });
  Calls calls = portal.Log();
  calls.erase(std::remove(calls.begin(), calls.end(), "Close"),
              calls.end());  // at the end, unawaited
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "CreateSession"), 2);
  EXPECT_EQ(calls.back(), "key 30 0");
}

}  // namespace

}  // namespace koru
