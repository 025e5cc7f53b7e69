#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/messaging/message.h"
#include "platform/messaging/test_loopers.h"

namespace koru {

constexpr uint32_t kFirst = FourCC("aaaa"), kSecond = FourCC("bbbb"), kOther = FourCC("othr");

namespace {
class Recorder : public Handler {
 public:
  explicit Recorder(Looper* looper) : Handler(looper) {}
  void MessageReceived(Message* message) override { whats.push_back(message->what); }
  std::vector<uint32_t> whats;
};
}  // namespace

TEST(Messenger, DeliversCopiesOnTheLooperInOrder) {
  QueueLooper looper;
  Recorder recorder(&looper);
  Messenger messenger = recorder.GetMessenger();
  Message m(kFirst);
  ASSERT_EQ(messenger.SendMessage(m), kOk);
  m.what = kSecond;  // the posted copy is not affected
  messenger.SendMessage(m);
  EXPECT_TRUE(recorder.whats.empty());  // nothing runs before the looper does
  EXPECT_EQ(looper.RunPending(), 2);
  EXPECT_EQ(recorder.whats, (std::vector<uint32_t>{kFirst, kSecond}));
}

TEST(Messenger, DropsMessagesForAHandlerThatIsGone) {
  QueueLooper looper;
  Messenger messenger;
  EXPECT_EQ(messenger.SendMessage(kOther), kBadPort);
  {
    auto recorder = std::make_unique<Recorder>(&looper);
    messenger = recorder->GetMessenger();
    messenger.SendMessage(kOther);  // queued while the handler lives
    EXPECT_TRUE(messenger.IsValid());
  }
  EXPECT_FALSE(messenger.IsValid());
  EXPECT_EQ(messenger.SendMessage(kOther), kBadPort);
  EXPECT_EQ(looper.RunPending(), 1);  // runs, but reaches no freed handler (ASan checks)
}

TEST(Messenger, PostsFromManyThreads) {
  QueueLooper looper;
  Recorder recorder(&looper);
  std::vector<std::thread> senders;
  for (int t = 0; t < 4; ++t) {
    senders.emplace_back([messenger = recorder.GetMessenger()] {
      for (int i = 0; i < 250; ++i) messenger.SendMessage(kOther);
    });
  }
  for (auto& sender : senders) sender.join();
  looper.RunPending();
  EXPECT_EQ(recorder.whats.size(), 1000u);
}

}  // namespace koru
