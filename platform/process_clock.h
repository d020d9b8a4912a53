#pragma once

#include <chrono>

#include "platform/utc_time.h"

namespace platform {

// When this process was started, and how many whole seconds have passed since.
UtcTime ProcessStartTime();
int SecondsSinceProcessStart();

// A clock that only goes forward, for how long something has been waited for.
std::chrono::milliseconds SteadyNow();

// Holds the calling thread for duration.
void Pause(std::chrono::milliseconds duration);

}  // namespace platform
