#include "lirc/lirc_key_names.h"

#include <array>
#include <map>

namespace koru {

namespace {

struct Names {
  int32_t key_function;
  std::initializer_list<const char*> names;  // as NormalLircName writes them
};

// The functions a LIRC button can stand for; names KORU has no function for stay unmapped (a
// remote's "FORWARD" or "RED" is no key of KORU's).
const Names kNames[] = {
    {51, {"0", "ZERO", "NUM0", "NUMERIC0", "KP0"}},
    {52, {"1", "ONE", "NUM1", "NUMERIC1", "KP1"}},
    {53, {"2", "TWO", "NUM2", "NUMERIC2", "KP2"}},
    {54, {"3", "THREE", "NUM3", "NUMERIC3", "KP3"}},
    {55, {"4", "FOUR", "NUM4", "NUMERIC4", "KP4"}},
    {56, {"5", "FIVE", "NUM5", "NUMERIC5", "KP5"}},
    {57, {"6", "SIX", "NUM6", "NUMERIC6", "KP6"}},
    {58, {"7", "SEVEN", "NUM7", "NUMERIC7", "KP7"}},
    {59, {"8", "EIGHT", "NUM8", "NUMERIC8", "KP8"}},
    {60, {"9", "NINE", "NUM9", "NUMERIC9", "KP9"}},
    {61, {"UP", "CURSORUP", "ARROWUP"}},
    {62, {"DOWN", "CURSORDOWN", "ARROWDOWN"}},
    {63, {"LEFT", "CURSORLEFT", "ARROWLEFT"}},
    {64, {"RIGHT", "CURSORRIGHT", "ARROWRIGHT"}},
    {65, {"VOLUMEUP", "VOLUME+", "VOLUP", "VOL+", "VOLPLUS"}},
    {66, {"VOLUMEDOWN", "VOLUME-", "VOLDOWN", "VOLDN", "VOL-", "VOLMINUS"}},
    {67, {"MUTE"}},
    {68, {"POWER", "POWERONOFF", "ONOFF", "STANDBY", "PWR"}},
    {69, {"OK", "ENTER", "SELECT", "ENT"}},
    {70, {"TAB"}},
    {71, {"MENU"}},
    {72, {"EXIT", "BACK", "ESC", "ESCAPE", "RETURN"}},
    {73, {"LAST", "RECALL", "PREVCH"}},
    {74, {"TEXT", "TELETEXT", "TXT", "TTX"}},
    {75, {"FAVORITES", "FAVOURITES", "FAVORITE", "FAV"}},
    {81, {"EJECTCD", "EJECT", "EJECTCLOSECD"}},
    {82, {"SETUP"}},
    {83,
     {"CHANNELUP", "CHANNEL+", "CHANUP", "CHAN+", "CHUP", "CH+", "PROGUP", "PROG+", "PRG+", "P+"}},
    {84,
     {"CHANNELDOWN", "CHANNEL-", "CHANDOWN", "CHAN-", "CHDOWN", "CH-", "PROGDOWN", "PROG-", "PRG-",
      "P-"}},
    {91, {"PREVIOUS", "PREVIOUSSONG", "PREV", "SKIPBACK", "SKIPPREV", "TRACKPREVIOUS"}},
    {93, {"PAUSE", "PAUSECD"}},
    {94, {"PLAY", "PLAYCD", "PLAYPAUSE"}},
    {95, {"NEXT", "NEXTSONG", "SKIPFWD", "SKIPNEXT", "SKIPFORWARD", "TRACKNEXT"}},
    {96, {"STOP", "STOPCD"}},
    {97, {"RECORD", "REC"}},
};

const std::map<std::string, int32_t>& Table() {
  static const std::map<std::string, int32_t> table = [] {
    std::map<std::string, int32_t> built;
    for (const Names& entry : kNames)
      for (const char* name : entry.names) built.emplace(name, entry.key_function);
    return built;
  }();
  return table;
}

}  // namespace

std::string NormalLircName(std::string_view name) {
  std::string upper;
  for (char c : name) upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  std::string_view rest = upper;
  if (rest.size() > 4 && rest.substr(0, 4) == "KEY_") rest.remove_prefix(4);
  std::string normal;
  for (size_t i = 0; i < rest.size(); ++i) {
    const char c = rest[i];
    if (c == '_' || c == '.' || c == ' ' || (c == '-' && i + 1 < rest.size())) continue;
    normal += c;
  }
  return normal;
}

int32_t KeyFunctionOfLircName(std::string_view name) {
  const auto found = Table().find(NormalLircName(name));
  return found == Table().end() ? 0 : found->second;
}

}  // namespace koru
