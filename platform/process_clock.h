#pragma once

#include <chrono>

#include "platform/utc_time.h"

namespace platform {

// When this process was started, by the wall clock.
UtcTime ProcessStartTime();
// How many whole seconds have passed since the program started, by a clock that only goes forward:
// a time sync at sign-in, which moves the wall clock, does not change it.
int SecondsSinceProgramStart();

// A clock that only goes forward, for how long something has been waited for.
std::chrono::milliseconds SteadyNow();

// Holds the calling thread for duration.
void Pause(std::chrono::milliseconds duration);

}  // namespace platform
