// The uinput backend through a recording system: the devices it makes and the exact input
// records each stroke, click and move writes.
#include "platform/desktop/uinput_injector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "platform/desktop/evdev_keys.h"
#include "platform/desktop/fake_uinput_system.h"

namespace koru {

namespace {

// evdev codes, spelt out here so that the test does not share the backend's constants.
constexpr uint16_t kEsc = 1;
constexpr uint16_t kLeftCtrl = 29;
constexpr uint16_t kLeftShift = 42;
constexpr uint16_t kLeftAlt = 56;
constexpr uint16_t kF = 33;
constexpr int kButtonLeft = 0x110;
constexpr int kEvKey = 1, kEvRel = 2, kEvAbs = 3;

struct Injector {
  FakeUinputSystem* system = new FakeUinputSystem;
  UinputInjector injector{std::unique_ptr<UinputSystem>(system)};
};

TEST(UinputInjector, WritesOneRecordPerChangeWithModifiersAroundTheKeyAndReleasesAfterAFailure) {
  Injector keys;
  ASSERT_EQ(keys.injector.Stroke({kEsc}), kOk);
  // A chord: pressed in order, released in reverse.
  ASSERT_EQ(keys.injector.Stroke({kLeftShift, kLeftCtrl, kLeftAlt, kF}), kOk);
  EXPECT_EQ(keys.system->Named("keyboard")->events,
            (std::vector<std::string>{"key 1 1",  "syn",      "key 1 0",  "syn",      "key 42 1",
                                      "syn",      "key 29 1", "syn",      "key 56 1", "syn",
                                      "key 33 1", "syn",      "key 33 0", "syn",      "key 56 0",
                                      "syn",      "key 29 0", "syn",      "key 42 0", "syn"}));
  // Without a layout: relative moves by the difference, a still axis left out.
  Injector relative;
  ASSERT_EQ(relative.injector.Click(), kOk);
  ASSERT_EQ(relative.injector.MovePointer({100, 100}, {90, 130}, {}), kOk);
  ASSERT_EQ(relative.injector.MovePointer({90, 130}, {90, 120}, {}), kOk);
  EXPECT_EQ(relative.system->Named("pointer")->events,
            (std::vector<std::string>{"key 272 1", "syn", "key 272 0", "syn", "rel 0 -10",
                                      "rel 1 30", "syn", "rel 1 -10", "syn"}));
  // With one: an absolute move lands where asked, clamped to the layout.
  Injector absolute;
  ASSERT_EQ(absolute.injector.MovePointer({10, 10}, {640, 300}, {1280, 720}), kOk);
  ASSERT_EQ(absolute.injector.MovePointer({640, 300}, {5000, -3}, {1280, 720}), kOk);
  EXPECT_EQ(
      absolute.system->Named("pointer")->events,
      (std::vector<std::string>{"abs 0 640", "abs 1 300", "syn", "abs 0 1279", "abs 1 0", "syn"}));
  // A failed press still releases what was pressed.
  Injector failing;
  failing.system->failing_write = 2;  // the second key's press
  EXPECT_EQ(failing.injector.Stroke({kLeftCtrl, kF, kEsc}), kIoError);
  EXPECT_EQ(failing.system->devices[0].events,
            (std::vector<std::string>{"key 29 1", "syn", "key 29 0", "syn"}));
}

bool Has(const std::vector<int>& list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

TEST(UinputInjector, KeyboardIsMadeOnceWithEveryKeyOfTheKeyMessagesAndNoneForKeysItLacks) {
  Injector in;
  EXPECT_EQ(in.injector.Stroke({}), kBadValue);
  EXPECT_EQ(in.injector.Stroke({kEsc, 0}), kBadValue);
  EXPECT_EQ(in.injector.Stroke({kButtonLeft}), kBadValue);
  EXPECT_TRUE(in.system->devices.empty());
  ASSERT_EQ(in.injector.Stroke({kEsc}), kOk);
  ASSERT_EQ(in.injector.Stroke({kLeftCtrl, kF}), kOk);
  ASSERT_EQ(in.system->devices.size(), 1u);
  const FakeUinputSystem::Device& keyboard = in.system->devices[0];
  EXPECT_TRUE(keyboard.created);
  EXPECT_EQ(in.system->settles, 1);  // waited once for the compositor to see it
  EXPECT_EQ(keyboard.event_types, std::vector<int>{kEvKey});
  for (int32_t key = 0; key < 0x100; ++key) {
    const uint16_t code = EvdevCodeForKeyCode(key);
    EXPECT_TRUE(code == 0 || Has(keyboard.keys, code)) << key;
  }
  for (int modifier : {kLeftShift, kLeftCtrl, kLeftAlt}) EXPECT_TRUE(Has(keyboard.keys, modifier));
}

TEST(UinputInjector, PointerFollowsTheLayoutAndIsMadeAgainWhenItChanges) {
  Injector in;
  ASSERT_EQ(in.injector.MovePointer({}, {1, 1}, {1920, 1080}), kOk);
  ASSERT_EQ(in.injector.MovePointer({}, {2, 2}, {1920, 1080}), kOk);
  ASSERT_EQ(in.system->devices.size(), 1u);
  const FakeUinputSystem::Device first = in.system->devices[0];
  EXPECT_EQ(first.ranges, (std::vector<std::string>{"0 0..1919", "1 0..1079"}));
  EXPECT_TRUE(Has(first.event_types, kEvAbs) && !Has(first.event_types, kEvRel));
  for (int button : {kButtonLeft, kButtonLeft + 1, kButtonLeft + 2})
    EXPECT_TRUE(Has(first.keys, button));

  ASSERT_EQ(in.injector.MovePointer({}, {3, 3}, {3840, 1080}), kOk);  // a second screen
  ASSERT_EQ(in.injector.MovePointer({3, 3}, {4, 4}, {}), kOk);        // size unknown now
  ASSERT_EQ(in.system->devices.size(), 3u);
  EXPECT_TRUE(in.system->devices[0].destroyed && in.system->devices[0].closed);
  EXPECT_EQ(in.system->devices[1].ranges, (std::vector<std::string>{"0 0..3839", "1 0..1079"}));
  EXPECT_TRUE(in.system->devices[1].closed);
  const FakeUinputSystem::Device& relative = in.system->devices[2];
  EXPECT_TRUE(Has(relative.event_types, kEvRel) && !Has(relative.event_types, kEvAbs));
  EXPECT_EQ(relative.relative_axes, (std::vector<int>{0, 1}));
  EXPECT_EQ(relative.events, (std::vector<std::string>{"rel 0 1", "rel 1 1", "syn"}));
}

TEST(UinputInjector, ProbeSaysInPlainWordsWhyUinputIsOutOfReach) {
  struct Case {
    int open_error;
    unsigned version;
    const char* words;  // empty: opens
  };
  const Case cases[] = {
      {EACCES, 5, "udev rule 60-koru-uinput.rules"},
      {EPERM, 5, "no permission to open /dev/uinput"},
      {ENOENT, 5, "modprobe uinput"},
      {ENODEV, 5, "module is not loaded"},
      {EIO, 5, "/dev/uinput cannot be opened: Input/output error"},
      {0, 4, "too old"},
      {0, 5, ""},
  };
  for (const Case& c : cases) {
    auto system = std::make_unique<FakeUinputSystem>();
    system->open_error = c.open_error;
    system->version = c.version;
    FakeUinputSystem* fake = system.get();
    std::string why_not = "stale";
    std::unique_ptr<InputInjector> injector = OpenUinputInjector(std::move(system), &why_not);
    if (*c.words == '\0') {
      ASSERT_NE(injector, nullptr);
      EXPECT_EQ(why_not, "");
      EXPECT_TRUE(fake->devices[0].closed);  // the probe keeps nothing open
      EXPECT_FALSE(fake->devices[0].created);
    } else {
      EXPECT_EQ(injector, nullptr) << c.words;
      EXPECT_NE(why_not.find(c.words), std::string::npos) << why_not;
    }
  }
}

}  // namespace

}  // namespace koru
