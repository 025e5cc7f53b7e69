#pragma once
// What the application needs of the preset editor window; the editor implements it without
// knowing the application.
#include "platform/messaging/message.h"

namespace koru {

class PresetEditorControls {
 public:
  virtual ~PresetEditorControls() = default;
  virtual void Activate() = 0;
  virtual Messenger WindowMessenger() = 0;
};

}  // namespace koru
