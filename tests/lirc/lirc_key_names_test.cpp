// LIRC button names to KORU key functions: the input layer's names, the database's spellings,
// and names that must stay unmapped.
#include "lirc/lirc_key_names.h"

#include <gtest/gtest.h>

namespace {

TEST(LircKeyNames, MapTheNamesOfTheDatabaseToKeyFunctions) {
  struct Case {
    int32_t key_function;
    std::vector<const char*> names;
  } const cases[] = {
      {51, {"KEY_0", "0", "zero"}},
      {56, {"KEY_5", "5", "KEY_NUMERIC_5", "KEY_KP5"}},
      {60, {"KEY_9", "9"}},
      {61, {"KEY_UP", "up", "Cursor-Up"}},
      {64, {"KEY_RIGHT", "RIGHT"}},
      {65, {"KEY_VOLUMEUP", "vol+", "VOL_UP", "VolUp", "VOL-UP", "VOLUME+"}},
      {66, {"KEY_VOLUMEDOWN", "vol-", "VOL_DOWN", "voldown", "VOLUME-"}},
      {67, {"KEY_MUTE", "Mute"}},
      {68, {"KEY_POWER", "Standby", "ON_OFF"}},
      {69, {"KEY_OK", "KEY_ENTER", "KEY_SELECT"}},
      {70, {"KEY_TAB"}},
      {71, {"KEY_MENU"}},
      {72, {"KEY_EXIT", "KEY_BACK", "Esc"}},
      {73, {"KEY_LAST", "Recall"}},
      {74, {"KEY_TEXT", "Teletext"}},
      {75, {"KEY_FAVORITES"}},
      {81, {"KEY_EJECTCD", "Eject"}},
      {82, {"KEY_SETUP"}},
      {83, {"KEY_CHANNELUP", "CH+", "ch_up", "Chan-Up", "P+"}},
      {84, {"KEY_CHANNELDOWN", "ch-", "CHANDOWN"}},
      {91, {"KEY_PREVIOUS", "Skipback"}},
      {93, {"KEY_PAUSE"}},
      {94, {"KEY_PLAY", "PlayPause"}},
      {95, {"KEY_NEXT", "Skipfwd"}},
      {96, {"KEY_STOP"}},
      {97, {"KEY_RECORD", "Rec"}},
      // No KORU function: colours, mouse, winding, other digits, near misses.
      {0,
       {"KEY_RED", "MOUSE_UP", "KEY_REWIND", "10", "KEY_", "", "KEY_F1", "UP_1", "VOLUP2",
        "KEY_VOLUME", "KEYVOLUMEUP"}},
  };
  for (const Case& c : cases)
    for (const char* name : c.names) EXPECT_EQ(KeyFunctionOfLircName(name), c.key_function) << name;
}

}  // namespace
