#pragma once
// Posts tasks as queued events to the Qt application's (GUI) thread; safe from any thread.
#include "platform/messaging/messenger.h"

namespace koru {

class QtLooper : public Looper {
 public:
  void Post(std::function<void()> task) override;
};

}  // namespace koru
