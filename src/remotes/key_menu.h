#pragma once

namespace koru {

// The teach-in's key-function menu as the remote library sees it: the window behind it plugs in
// its own menus (the menu routine of the shared utilities), tests plug in a fake.
class KeyMenu {
 public:
  virtual ~KeyMenu() = default;
  // Finds the item with this label, in sub-menus too; sets its enabled and marked state.
  // False when no item has the label.
  virtual bool SetItemTo(const char* label, bool enable, bool mark) = 0;
};

}  // namespace koru
