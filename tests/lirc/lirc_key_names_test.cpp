// LIRC button names to KORU key functions: the input layer's names, the database's spellings,
// and names that must stay unmapped.
#include "lirc/lirc_key_names.h"

#include <gtest/gtest.h>

namespace {

TEST(LircKeyNames, MapTheNamesOfTheDatabaseToKeyFunctions) {
  struct Case {
    const char* name;
    int32_t key_function;
  } const cases[] = {
      {"KEY_0", 51},
      {"0", 51},
      {"KEY_9", 60},
      {"9", 60},
      {"KEY_NUMERIC_5", 56},
      {"KEY_KP7", 58},
      {"Eight", 59},
      {"KEY_UP", 61},
      {"down", 62},
      {"Cursor-Left", 63},
      {"KEY_RIGHT", 64},
      {"KEY_VOLUMEUP", 65},
      {"vol+", 65},
      {"VOL_UP", 65},
      {"VolUp", 65},
      {"VOLUME+", 65},
      {"KEY_VOLUMEDOWN", 66},
      {"vol-", 66},
      {"VOL-DOWN", 66},
      {"voldown", 66},
      {"KEY_MUTE", 67},
      {"KEY_POWER", 68},
      {"Standby", 68},
      {"KEY_OK", 69},
      {"KEY_ENTER", 69},
      {"KEY_SELECT", 69},
      {"KEY_TAB", 70},
      {"KEY_MENU", 71},
      {"KEY_EXIT", 72},
      {"KEY_BACK", 72},
      {"KEY_LAST", 73},
      {"KEY_TEXT", 74},
      {"Teletext", 74},
      {"KEY_FAVORITES", 75},
      {"KEY_EJECTCD", 81},
      {"KEY_SETUP", 82},
      {"KEY_CHANNELUP", 83},
      {"CH+", 83},
      {"ch_up", 83},
      {"Chan-Up", 83},
      {"KEY_CHANNELDOWN", 84},
      {"ch-", 84},
      {"CHANDOWN", 84},
      {"KEY_PREVIOUS", 91},
      {"Skipback", 91},
      {"KEY_PAUSE", 93},
      {"KEY_PLAY", 94},
      {"KEY_NEXT", 95},
      {"Skipfwd", 95},
      {"KEY_STOP", 96},
      {"KEY_RECORD", 97},
      {"Rec", 97},
      // No KORU function: colours, mouse, winding, other digits, near misses.
      {"KEY_RED", 0},
      {"MOUSE_UP", 0},
      {"KEY_REWIND", 0},
      {"KEY_FORWARD", 0},
      {"10", 0},
      {"KEY_", 0},
      {"", 0},
      {"KEY_F1", 0},
      {"UP_1", 0},
      {"VOLUP2", 0},
      {"KEY_VOLUME", 0},
      {"KEYVOLUMEUP", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyFunctionOfLircName(c.name), c.key_function) << c.name;
}

}  // namespace
