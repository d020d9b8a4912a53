#include "platform/process_clock.h"

#include <windows.h>

namespace platform {
namespace {

constexpr ULONGLONG kTicksPerSecond = 10'000'000;  // a FILETIME counts 100-nanosecond ticks

FILETIME StartFileTime() {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) GetSystemTimeAsFileTime(&created);
  return created;
}

ULONGLONG Ticks(const FILETIME& time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

}  // namespace

UtcTime ProcessStartTime() {
  const FILETIME start = StartFileTime();
  SYSTEMTIME time{};
  FileTimeToSystemTime(&start, &time);
  return {static_cast<int16_t>(time.wYear),
          time.wMonth,
          time.wDay,
          time.wHour,
          time.wMinute,
          time.wSecond,
          time.wMilliseconds};
}

std::chrono::milliseconds SteadyNow() { return std::chrono::milliseconds(GetTickCount64()); }

void Pause(std::chrono::milliseconds duration) { Sleep(static_cast<DWORD>(duration.count())); }

int SecondsSinceProcessStart() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG start = Ticks(StartFileTime());
  const ULONGLONG current = Ticks(now);
  return current > start ? static_cast<int>((current - start) / kTicksPerSecond) : 0;
}

}  // namespace platform
