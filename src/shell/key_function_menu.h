#pragma once
// The key-function menu of the teach box, as the remote library marks it.
#include <QMenu>

#include "remotes/key_menu.h"
#include "toolkit/menu_field.h"
#include "toolkit/view_utilities.h"

namespace koru {

class KeyFunctionMenu : public KeyMenu {
 public:
  // The field's items are made when first needed: asking the field for its menu makes them.
  explicit KeyFunctionMenu(const MenuField* field) : field_(field) {}
  bool SetItemTo(const char* label, bool enable, bool mark) override {
    return koru::SetItemTo(field_->Menu(), 0, label, enable, nullptr, mark);
  }

 private:
  const MenuField* field_;
};

}  // namespace koru
