#pragma once

#include "platform/utc_time.h"

namespace platform {

// When this process was started, and how many whole seconds have passed since.
UtcTime ProcessStartTime();
int SecondsSinceProcessStart();

}  // namespace platform
