#pragma once
// A pointer view read from the desktop itself: the pointer in the coordinates of a view whose
// left-top corner stands at `origin` on the screen. For callers without a window of their own.
#include "actions/action_services.h"
#include "platform/desktop/desktop.h"

namespace koru {

class DesktopPointerView : public PointerView {
 public:
  DesktopPointerView(Desktop* desktop, ViewPoint origin) : desktop_(desktop), origin_(origin) {}
  ViewPoint GetMouse() override {
    ScreenPoint p = desktop_->PointerPosition();
    return {static_cast<float>(p.x) - origin_.x, static_cast<float>(p.y) - origin_.y};
  }

 private:
  Desktop* desktop_;
  ViewPoint origin_;
};

}  // namespace koru
