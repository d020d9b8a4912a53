#include "platform/process_clock.h"

#include <windows.h>

namespace platform {
namespace {

// Read when the program is loaded, before its entry runs.
const ULONGLONG gStartMilliseconds = GetTickCount64();

FILETIME StartFileTime() {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) GetSystemTimeAsFileTime(&created);
  return created;
}

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

int SecondsSinceProgramStart() { return static_cast<int>((GetTickCount64() - gStartMilliseconds) / 1000); }

}  // namespace platform
