#include "platform/lines/replay_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "platform/messaging/threads.h"
#include "temp_dir.h"

namespace {

// The times come from the recording, so a caller that is late (here: one that sleeps between
// its calls) still measures every period exactly; nothing depends on how fast it wakes up.
TEST(ReplayLine, ALateCallerGetsEveryChangeWithItsRecordedTime) {
  ReplayLine line({{true, 560}, {false, 1690}, {true, 560}, {false, 560}, {true, 560}});
  LevelChange change;
  const bigtime_t start = system_time();
  ASSERT_EQ(line.WaitForChange(start, kNoDeadline, &change), kOk);  // the lead-in
  EXPECT_TRUE(change.pulse);
  EXPECT_GE(change.time - start, 100000);
  bigtime_t t0 = change.time;
  snooze(5000);  // late for all the rest
  const bigtime_t expected[] = {560, 1690, 560, 560, 560};
  bool pulse = true;
  for (const bigtime_t duration : expected) {
    ASSERT_EQ(line.WaitForChange(t0, kNoDeadline, &change), kOk);
    pulse = !pulse;
    EXPECT_EQ(change.time - t0, duration);
    EXPECT_EQ(change.pulse, pulse);
    t0 = change.time;
  }
}

TEST(ReplayLine, DeadlineAndResume) {
  ReplayLine line({{true, 1000}, {false, 30000}, {true, 1000}});
  LevelChange change;
  ASSERT_EQ(line.WaitForChange(system_time(), kNoDeadline, &change), kOk);
  ASSERT_EQ(line.WaitForChange(change.time, kNoDeadline, &change), kOk);
  const bigtime_t space_start = change.time;
  // The next change is 30 ms away: a deadline 15 ms after the last change passes first, even
  // for a caller that only asks after the change has happened.
  snooze(31000);
  EXPECT_EQ(line.WaitForChange(space_start, space_start + 15001, &change), kTimedOut);
  ASSERT_EQ(line.WaitForChange(space_start, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time - space_start, 30000);
  // A caller that was away (suspended) asks from its own time: changes before it are past.
  const bigtime_t resumed = change.time + 500;
  ASSERT_EQ(line.WaitForChange(resumed, kNoDeadline, &change), kOk);
  EXPECT_EQ(change.time - resumed, 500);
  EXPECT_FALSE(change.pulse);
}

}  // namespace

// A FIFO's writer may come late: Keep does not wait for it, the line waits (until its
// deadlines, and breakably) and plays the recording from its lead-in once it is all there.
TEST(ReplayLine, AFifoPlaysOnceItsWriterIsDoneAndABadOneEndsThePlay) {
  TempDir dir;
  for (const bool good : {true, false}) {
    const std::string fifo = (dir.Path() / (good ? "good" : "bad")).string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    ASSERT_EQ(ReplayLine::Keep(fifo, &error), kOk) << error;
    std::unique_ptr<ReceiverLine> opened;
    ASSERT_EQ(ReplayLine::Open(fifo, &opened), 1);
    auto* line = static_cast<ReplayLine*>(opened.get());
    LevelChange change;
    EXPECT_EQ(line->WaitForChange(system_time(), system_time() + 20000, &change), kTimedOut);
    EXPECT_FALSE(line->IsDCD());

    std::thread writer([&] {
      std::ofstream out(fifo);
      out << (good ? "pulse 560\nspace 1690\npulse 560\n" : "pulse 560\nsquare 5\n");
    });
    const bigtime_t asked = system_time();
    if (good) {
      ASSERT_EQ(line->WaitForChange(asked, kNoDeadline, &change), kOk);
      EXPECT_TRUE(change.pulse);
      EXPECT_GE(change.time - asked, 100000);  // the lead-in
      const bigtime_t first = change.time;
      ASSERT_EQ(line->WaitForChange(first, kNoDeadline, &change), kOk);
      EXPECT_EQ(change.time - first, 560);
      EXPECT_FALSE(line->Broken());
    } else {
      for (int turn = 0; turn < 6000 && !line->Finished(); ++turn) {
        EXPECT_EQ(line->WaitForChange(asked, system_time() + 10000, &change), kTimedOut);
      }
      EXPECT_TRUE(line->Broken());
    }
    writer.join();
  }
}

// Suspension and kill take effect while the line waits for a writer that never comes.
TEST(ReplayLine, AWaitForAFifoEndsWhenItsThreadIsKilled) {
  TempDir dir;
  const std::string fifo = (dir.Path() / "silent").string();
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string error;
  ASSERT_EQ(ReplayLine::Keep(fifo, &error), kOk);
  std::unique_ptr<ReceiverLine> line;
  ASSERT_EQ(ReplayLine::Open(fifo, &line), 1);
  std::atomic<bool> waiting{false};
  struct Job {
    ReceiverLine* line;
    std::atomic<bool>* waiting;
  } job{line.get(), &waiting};
  const thread_id thread = spawn_thread(
      [](void* data) -> int32_t {
        auto* job = static_cast<Job*>(data);
        LevelChange change;
        job->waiting->store(true);
        job->line->WaitForChange(system_time(), kNoDeadline, &change);
        return 0;
      },
      "fifo wait", kNormalPriority, &job);
  ASSERT_GE(thread, 0);
  resume_thread(thread);
  while (!waiting.load()) snooze(1000);
  kill_thread(thread);
  int32_t status = 0;
  EXPECT_EQ(wait_for_thread(thread, &status), kOk);
  EXPECT_EQ(status, kInterrupted);
}
