// Messages, and their delivery to a handler's looper.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/messaging/message.h"
#include "platform/messaging/test_loopers.h"
#include "receiver/receiver_messages.h"

namespace koru {

constexpr uint32_t kTestMessage = FourCC("test");
constexpr uint32_t kRawDataType = FourCC("RAWX");
constexpr uint32_t kFirst = FourCC("aaaa"), kSecond = FourCC("bbbb"), kOther = FourCC("othr");

TEST(Message, KeepsFieldsInOrderWithSeveralItemsPerName) {
  Message m(kReceiverReport);
  ASSERT_EQ(m.AddString("_blink", "-0101"), kOk);
  ASSERT_EQ(m.AddInt32("_remotetype", 1), kOk);
  ASSERT_EQ(m.AddInt32("_remotetype", 7), kOk);
  ASSERT_EQ(m.AddBool("_runCont", true), kOk);
  EXPECT_EQ(m.AddString("_remotetype", "x"), kBadType);

  EXPECT_EQ(m.CountNames(), 3);
  EXPECT_EQ(m.NameAt(0), "_blink");
  EXPECT_EQ(m.NameAt(2), "_runCont");
  type_code type = 0;
  int32_t count = 0;
  ASSERT_EQ(m.GetInfo("_remotetype", &type, &count), kOk);
  EXPECT_EQ(type, kInt32Type);
  EXPECT_EQ(count, 2);

  int32_t value = 0;
  EXPECT_EQ(m.FindInt32("_remotetype", &value, 1), kOk);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(m.FindInt32("_remotetype", &value, 2), kBadIndex);
  EXPECT_EQ(m.FindInt32("_blink", &value), kBadType);
  EXPECT_EQ(m.FindInt32("nothing", &value), kNameNotFound);
}

TEST(Message, ReplaceRemoveAndCopyAreIndependent) {
  Message m(kTestMessage);
  m.AddInt8("b", -3);
  const uint8_t raw[] = {1, 2, 3};
  m.AddData("raw", kRawDataType, raw, sizeof raw);

  Message copy = m;
  ASSERT_EQ(m.ReplaceInt8("b", 9), kOk);
  EXPECT_EQ(m.ReplaceInt8("b", 9, 1), kBadIndex);
  EXPECT_EQ(m.ReplaceInt32("b", 9), kBadType);
  int8_t b = 0;
  copy.FindInt8("b", &b);
  EXPECT_EQ(b, -3);

  const Message::RawData* data = nullptr;
  ASSERT_EQ(copy.FindData("raw", kRawDataType, &data), kOk);
  EXPECT_EQ(*data, (Message::RawData{1, 2, 3}));
  EXPECT_EQ(copy.FindData("raw", FourCC("OTHR"), &data), kBadType);

  EXPECT_EQ(m.RemoveData("b"), kOk);
  EXPECT_FALSE(m.HasField("b"));  // the last item takes its name with it
  EXPECT_EQ(m.RemoveName("b"), kNameNotFound);
  EXPECT_TRUE(copy.HasField("b"));
  m.MakeEmpty();
  EXPECT_EQ(m.CountNames(), 0);
  EXPECT_EQ(m.what, kTestMessage);
}

TEST(Message, DumpShowsCodeNamesTypesAndValues) {
  Message m(kReceiverReport);
  m.AddString("_blink", "-01");
  m.AddInt32("_ValidBits", 32);
  m.AddBool("_slowdown", false);
  m.AddInt32("n", 1);
  m.AddInt32("n", 2);
  EXPECT_EQ(m.Dump(),
            "Message('irCE') {\n"
            "  _blink (CSTR) = \"-01\"\n"
            "  _ValidBits (LONG) = 32\n"
            "  _slowdown (BOOL) = false\n"
            "  n[0] (LONG) = 1\n"
            "  n[1] (LONG) = 2\n"
            "}");
}

namespace {
class Recorder : public Handler {
 public:
  explicit Recorder(Looper* looper) : Handler(looper) {}
  void MessageReceived(Message* message) override { whats.push_back(message->what); }
  std::vector<uint32_t> whats;
};
}  // namespace

TEST(Messenger, DeliversCopiesOnTheLooperInOrderAlsoFromManyThreads) {
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

  std::vector<std::thread> senders;
  for (int t = 0; t < 4; ++t) {
    senders.emplace_back([messenger] {
      for (int i = 0; i < 250; ++i) messenger.SendMessage(kOther);
    });
  }
  for (auto& sender : senders) sender.join();
  looper.RunPending();
  EXPECT_EQ(recorder.whats.size(), 1002u);
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

}  // namespace koru
