// refresh_bench SOURCE PATTERN DESTINATION: one file refresh (listing, copy beside each target,
// replace in one step) timed in process; prints the milliseconds and the number of log lines.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/slots.h"
#include "platform/win32/wide.h"
#include "update/file_refresh.h"

namespace {

class CountingLog final : public ActivityLog {
 public:
  void AppendLine(const std::u16string&) override { ++lines; }
  int lines = 0;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: refresh_bench SOURCE PATTERN DESTINATION\n", stderr);
    return 2;
  }
  CountingLog log;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  CopyFilesWithPattern(FromWide(argv[1]), FromWide(argv[2]), FromWide(argv[3]), log);
  QueryPerformanceCounter(&end);
  std::printf("%.1f %d\n", (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart, log.lines);
  return 0;
}
