#pragma once

#include <cstdint>

namespace platform {

// A moment in Coordinated Universal Time, to the millisecond, as a database stores it.
struct UtcTime {
  int16_t year;
  uint16_t month, day, hour, minute, second, millisecond;
};

}  // namespace platform
