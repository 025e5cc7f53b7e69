#pragma once
// The key-function menu of the teach box, as the remote library marks it.
#include <QMenu>

#include "remotes/key_menu.h"
#include "toolkit/view_utilities.h"

class KeyFunctionMenu : public KeyMenu {
 public:
  explicit KeyFunctionMenu(QMenu* menu) : menu_(menu) {}
  bool SetItemTo(const char* label, bool enable, bool mark) override {
    return ::SetItemTo(menu_, 0, label, enable, nullptr, mark);
  }

 private:
  QMenu* menu_;
};
