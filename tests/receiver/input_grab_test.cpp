// Taking a kernel receiver's input device: taken and held while the grab lives; refused
// (EBUSY, EACCES) with words that name the one command clearing the kernel's keymap.
#include "platform/lines/input_grab.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

class FakeGrabSystem : public InputGrabSystem {
 public:
  int Open(const std::string& node) override {
    opened = node;
    return open_error != 0 ? -open_error : 7;
  }
  int Grab(int) override { return grab_error; }
  void Close(int fd) override { closed = fd; }
  int open_error = 0, grab_error = 0, closed = -1;
  std::string opened;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(InputGrab, TakenHeldOrRefusedWithTheRightWords) {
  KernelReceiver receiver;
  receiver.rc = "rc2";
  receiver.input_event = "event7";
  struct Case {
    int open_error, grab_error;
    bool grabbed;
    const char* words;  // a part of the words
  };
  const Case kCases[] = {
      {0, 0, true, ""},
      {0, EBUSY, false, "Another program has taken the key events of /d/input/event7"},
      {EACCES, 0, false, "KORU may not take the key events of /d/input/event7"},
      {0, ENODEV, false, "could not be taken (No such device)"},
  };
  for (const Case& c : kCases) {
    auto system = std::make_shared<FakeGrabSystem>();
    system->open_error = c.open_error;
    system->grab_error = c.grab_error;
    {
      InputGrab grab(system, receiver, "/d");
      EXPECT_EQ(system->opened, "/d/input/event7");
      EXPECT_EQ(grab.Grabbed(), c.grabbed);
      if (c.grabbed) {
        EXPECT_EQ(grab.Words(), "");
        EXPECT_EQ(system->closed, -1);  // held while the grab lives
      } else {
        EXPECT_NE(grab.Words().find(c.words), std::string::npos) << grab.Words();
        EXPECT_EQ(Count(grab.Words(), "ir-keytable -s rc2 -c"), 1u) << grab.Words();
      }
    }
    if (c.open_error == 0) {
      EXPECT_EQ(system->closed, 7);
    }
  }
  // A receiver without an input device: nothing to take, nothing to say.
  auto system = std::make_shared<FakeGrabSystem>();
  InputGrab none(system, KernelReceiver{}, "/d");
  EXPECT_FALSE(none.Grabbed());
  EXPECT_EQ(none.Words(), "");
  EXPECT_EQ(system->opened, "");
}

}  // namespace
