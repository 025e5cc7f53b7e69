// The real receiver thread against a line driven in real time by another thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "periods.h"
#include "platform/lines/driven_line.h"
#include "platform/messaging/test_loopers.h"
#include "platform/messaging/threads.h"
#include "receiver/posted_report_sink.h"
#include "receiver/receiver_flags.h"
#include "receiver/receiver_messages.h"
#include "receiver/sampling_thread.h"
#include "recording_report_sink.h"

namespace koru {

namespace {

using namespace std::chrono_literals;

// Plays alternating pulse/space durations (microseconds) on the line in real time.
void Play(DrivenLine& line, const std::vector<int32_t>& durations) {
  auto deadline = std::chrono::steady_clock::now();
  bool pulse = true;
  for (int32_t d : durations) {
    line.SetLevel(pulse);
    deadline += std::chrono::microseconds(d);
    std::this_thread::sleep_until(deadline);
    pulse = !pulse;
  }
  line.SetLevel(false);
}

ThreadState StateOf(thread_id thread) {
  thread_info info;
  return get_thread_info(thread, &info) == kOk ? info.state : ThreadState::kEnded;
}

class ReceiverThread : public ::testing::TestWithParam<DrivenLine::Wait> {
 protected:
  void SetUp() override {
    SetAppMessenger(inbox_.GetMessenger());
    line_ = new DrivenLine(GetParam());
    port_ = std::make_unique<ReceiverPort>(std::unique_ptr<ReceiverLine>(line_), "driven");
    start_ = {&flags_, port_.get(), &sink_};
  }
  void TearDown() override {
    if (thread_ >= 0) {
      kill_thread(thread_);
      wait_for_thread(thread_, nullptr);
    }
    SetAppMessenger(Messenger());
  }

  // Everything delivered on the test's thread: the reports through the posted sink, the port
  // messages through the application messenger.
  size_t Delivered() const { return target_.Count() + inbox_.received.size(); }
  // Delivers posted messages until `done` holds (at most about 30 seconds: a busy machine may
  // keep the receiver thread waiting long).
  bool DeliverUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 30000; ++i) {
      looper_.RunPending();
      if (done()) return true;
      std::this_thread::sleep_for(1ms);
    }
    return false;
  }

  void Start() {
    thread_ = spawn_thread(ReceiverThreadMain, "snif_thread", kNormalPriority, &start_);
    ASSERT_GE(thread_, 0);
    ASSERT_EQ(resume_thread(thread_), kOk);
    ASSERT_TRUE(DeliverUntil([&] { return Delivered() == 1; }));
  }

  QueueLooper looper_;
  MessageInbox inbox_{&looper_};
  RecordingReportSink target_;
  PostedReportSink sink_{&looper_, &target_};
  TraceCapture trace_;
  DrivenLine* line_ = nullptr;
  ReceiverFlags flags_;  // the thread may still use them until TearDown has ended it
  std::unique_ptr<ReceiverPort> port_;
  ReceiverThreadStart start_;
  thread_id thread_ = -1;
};

TEST_P(ReceiverThread, ReportsSuspendsResumesAndDies) {
  Start();
  EXPECT_EQ(target_.Reports().at(0).code, "-------- -------- ");
  EXPECT_TRUE(line_->Dtr());

  // A held key: frames with gaps until a report comes. On a busy machine an edge may be
  // missed, so the exact code is left to the virtual-clock tests; a report must come.
  std::atomic<bool> held{true};
  std::thread key([&] {
    while (held.load()) {
      std::this_thread::sleep_for(40ms);
      Play(*line_, PeriodsOf("9000 4500 560,1690,560,560,560,560*10 560,1690 560,560 560"));
    }
  });
  const bool reported = DeliverUntil([&] { return target_.Count() >= 2; });
  held.store(false);
  key.join();
  ASSERT_TRUE(reported);
  const ReceiverReport report = target_.Reports().at(1);
  EXPECT_NE(report.code, "-------- -------- ");
  EXPECT_FALSE(report.slowdown);

  // After the report the thread suspends itself until the view resumes it.
  ASSERT_TRUE(DeliverUntil([&] { return StateOf(thread_) == ThreadState::kSuspended; }));
  EXPECT_EQ(flags_.scanning.load(), 0);
  ASSERT_EQ(resume_thread(thread_), kOk);
  ASSERT_TRUE(DeliverUntil([&] { return flags_.scanning.load() == 1; }));

  // Suspended from outside while it waits for an edge, and resumed again.
  ASSERT_EQ(suspend_thread(thread_), kOk);
  ASSERT_TRUE(DeliverUntil([&] { return StateOf(thread_) == ThreadState::kSuspended; }));
  ASSERT_EQ(resume_thread(thread_), kOk);
  ASSERT_TRUE(DeliverUntil([&] { return StateOf(thread_) != ThreadState::kSuspended; }));

  // Killed while it waits for an edge.
  ASSERT_EQ(kill_thread(thread_), kOk);
  int32_t status = 0;
  ASSERT_EQ(wait_for_thread(thread_, &status), kOk);
  thread_ = -1;
  EXPECT_EQ(status, kInterrupted);
  // A killed thread no longer scans: the next one may start.
  EXPECT_EQ(flags_.scanning.load(), 0);
}

// A second thread ends without touching its port; the first ends when its port vanishes.
TEST_P(ReceiverThread, SecondThreadEndsWithoutTouchingItsPortAVanishedPortEndsTheFirst) {
  Start();
  ASSERT_EQ(flags_.scanning.load(), 1);
  auto* other_line = new DrivenLine(GetParam());
  ReceiverPort other(std::unique_ptr<ReceiverLine>(other_line), "other");
  ReceiverThreadStart other_start{&flags_, &other, &sink_};
  const thread_id second = spawn_thread(ReceiverThreadMain, "snif_thread", 10, &other_start);
  resume_thread(second);
  int32_t status = 0;
  ASSERT_EQ(wait_for_thread(second, &status), kOk);
  EXPECT_EQ(status, kAlreadyScanning);
  ASSERT_TRUE(DeliverUntil([&] { return Delivered() == 2; }));
  EXPECT_EQ(target_.Events(), (std::vector<std::string>{"report", "already scanning"}));
  EXPECT_FALSE(other_line->Dtr());
  EXPECT_EQ(other_line->ClearCount(), 0);

  line_->Unplug();
  ASSERT_EQ(wait_for_thread(thread_, &status), kOk);
  thread_ = -1;
  EXPECT_EQ(status, kPortMissing);
  ASSERT_TRUE(DeliverUntil([&] { return Delivered() == 3; }));
  ASSERT_EQ(inbox_.received.size(), 1u);
  EXPECT_EQ(inbox_.received[0].what, kNoReceiverPort);
  EXPECT_EQ(flags_.scanning.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Waits, ReceiverThread,
                         ::testing::Values(DrivenLine::Wait::kPolling, DrivenLine::Wait::kEvent),
                         [](const auto& info) {
                           return info.param == DrivenLine::Wait::kPolling ? "Polling" : "Event";
                         });

// A report still queued when the window (and with it the sink) goes must not reach it. (The
// thread's other messages through the sink: ReceiverThread above.)
TEST(PostedReportSink, HandsReportsOverOnTheLooperAndDropsThemOnceItHasGone) {
  QueueLooper looper;
  RecordingReportSink target;
  {
    PostedReportSink posted(&looper, &target);
    posted.Report(MakeReceiverReport("-0101-", 0, 0, true));
    EXPECT_EQ(target.Count(), 0u) << "not on the reporting thread";
    looper.RunPending();
    EXPECT_TRUE(target.Reports().at(0).slowdown);
    posted.Report(MakeReceiverReport("-0101-", 0, 0, false));
  }
  looper.RunPending();
  EXPECT_EQ(target.Count(), 1u);
}

}  // namespace

}  // namespace koru
