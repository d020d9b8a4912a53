// refresh_bench SOURCE PATTERN DESTINATION [all|changed [PUBLISHER]]: one file refresh (listing, then
// per file a copy beside the target replacing it in one step, or with "changed" the skip of an
// unchanged file; with PUBLISHER each fresh copy checked to be that publisher's before it takes its
// name) timed in process; prints the milliseconds, the number of log lines, the files updated and
// found up to date; the timed part lies between two pauses that let the caller read the bytes it
// read meanwhile.
#include <windows.h>

#include <cstdio>
#include <string>

#include "base/slots.h"
#include "bench/bare_walk.h"
#include "bench/measurement_pause.h"
#include "platform/answering.h"
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
  if (argc < 4 || argc > 6) {
    std::fputs("usage: refresh_bench SOURCE PATTERN DESTINATION [all|changed [PUBLISHER]]\n", stderr);
    return 2;
  }
  const RefreshMode mode = ParseRefreshMode(argc >= 5 ? FromWide(argv[4]) : u"all");
  const PublisherPin pin = ParsePublisherPin(argc == 6 ? FromWide(argv[5]) : u"", u"", u"");
  CountingLog log;
  // In a run the thread that the refresh's steps run on has served the drive's connection already.
  platform::CallAnswering([] {});
  PauseForMeasurement("start");
  const Stopwatch watch;
  const RefreshCounts counts =
      CopyFilesWithPattern(FromWide(argv[1]), FromWide(argv[2]), FromWide(argv[3]), mode, log, pin);
  const double ms = watch.Milliseconds();
  PauseForMeasurement("end");
  std::printf("%.1f %d %d %d\n", ms, log.lines, counts.updated, counts.unchanged);
  return 0;
}
