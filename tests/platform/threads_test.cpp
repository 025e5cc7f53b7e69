#include "platform/messaging/threads.h"

#include <gtest/gtest.h>

#include <atomic>

#include "platform/messaging/clock.h"

namespace koru {

namespace {

struct Counter {
  std::atomic<int> ticks{0};
  std::atomic<bool> suspend_self{false};
  bigtime_t nap = 200;
};

int32_t CountForever(void* data) {
  auto* counter = static_cast<Counter*>(data);
  for (;;) {
    counter->ticks.fetch_add(1);
    if (counter->suspend_self.exchange(false)) suspend_thread(find_thread(nullptr));
    snooze(counter->nap);
  }
}

void WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 5000 && !condition(); ++i) snooze(1000);
  ASSERT_TRUE(condition());
}

// The status the thread ended with.
int32_t EndOf(thread_id id) {
  int32_t status = 0;
  EXPECT_EQ(wait_for_thread(id, &status), kOk);
  return status;
}

ThreadState StateOf(thread_id id) {
  thread_info info;
  EXPECT_EQ(get_thread_info(id, &info), kOk);
  return info.state;
}

}  // namespace

TEST(Threads, SpawnedThreadWaitsForResumeAndReturnsItsStatusAndUnknownIdsAreRefused) {
  const thread_id id =
      spawn_thread([](void*) -> int32_t { return 7; }, "seven", kNormalPriority, nullptr);
  ASSERT_GT(id, 0);
  thread_info info;
  ASSERT_EQ(get_thread_info(id, &info), kOk);
  EXPECT_EQ(info.name, "seven");
  EXPECT_EQ(info.state, ThreadState::kSpawned);
  EXPECT_EQ(find_thread("seven"), id);
  ASSERT_EQ(resume_thread(id), kOk);
  EXPECT_EQ(EndOf(id), 7);
  EXPECT_EQ(get_thread_info(id, &info), kBadThreadId);
  // Unknown ids are refused; the test's own thread was not started here.
  EXPECT_EQ(resume_thread(999999), kBadThreadId);
  EXPECT_EQ(suspend_thread(999999), kBadThreadId);
  EXPECT_EQ(kill_thread(999999), kBadThreadId);
  EXPECT_EQ(set_thread_priority(999999, 10), kBadThreadId);
  EXPECT_EQ(find_thread(nullptr), -1);
}

TEST(Threads, SuspendFromOutsideResumeAndKillAreCooperative) {
  Counter counter;
  const thread_id id = spawn_thread(CountForever, "counter", 40, &counter);
  resume_thread(id);
  WaitUntil([&] { return counter.ticks.load() > 3; });
  ASSERT_EQ(suspend_thread(id), kOk);
  WaitUntil([&] { return StateOf(id) == ThreadState::kSuspended; });
  const int frozen = counter.ticks.load();
  snooze(5000);
  EXPECT_EQ(counter.ticks.load(), frozen);
  ASSERT_EQ(resume_thread(id), kOk);
  WaitUntil([&] { return counter.ticks.load() > frozen; });
  ASSERT_EQ(kill_thread(id), kOk);
  EXPECT_EQ(EndOf(id), kInterrupted);
}

TEST(Threads, SelfSuspensionWaitsForResumeAndKillEndsASuspendedThread) {
  Counter counter;
  counter.suspend_self = true;
  const thread_id id = spawn_thread(CountForever, "selfsusp", kNormalPriority, &counter);
  resume_thread(id);
  WaitUntil([&] { return StateOf(id) == ThreadState::kSuspended; });
  EXPECT_EQ(counter.ticks.load(), 1);
  resume_thread(id);
  WaitUntil([&] { return counter.ticks.load() > 1; });
  counter.suspend_self = true;
  WaitUntil([&] { return StateOf(id) == ThreadState::kSuspended; });
  kill_thread(id);
  EXPECT_EQ(EndOf(id), kInterrupted);
}

TEST(Threads, AVeryLongSnoozeSleepsInsteadOfReturningAtOnce) {
  Counter counter;
  counter.nap = 10000000000000000;  // far past what nanosecond clocks hold
  const thread_id id = spawn_thread(CountForever, "sleeper", kNormalPriority, &counter);
  resume_thread(id);
  WaitUntil([&] { return counter.ticks.load() > 0; });
  snooze(50000);
  EXPECT_EQ(counter.ticks.load(), 1);
  ASSERT_EQ(kill_thread(id), kOk);
  ASSERT_EQ(wait_for_thread(id, nullptr), kOk);
}

}  // namespace koru
