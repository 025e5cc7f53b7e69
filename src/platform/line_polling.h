#pragma once
// The polling wait for a level change: read the level, then sleep 100 microseconds between
// reads until it differs. Each sleep is a wait point of the calling thread.

#include "platform/clock.h"
#include "platform/status.h"

constexpr bigtime_t kLinePollInterval = 100;

// `read_level` gives kOk and the level, or an error that ends the wait.
using LevelReader = bool (*)(void* context, bool* level, status_t* status);

status_t PollForChange(LevelReader read_level, void* context, bigtime_t since, bigtime_t* period);
