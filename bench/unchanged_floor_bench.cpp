// unchanged_floor_bench SOURCE PATTERN DESTINATION: the platform's own floor for a refresh that
// finds nothing changed, timed in process: the files of SOURCE that match PATTERN listed with
// FindFirstFileW/FindNextFileW, and per file one GetFileAttributesExW of its namesake in
// DESTINATION compared by size and last-write time. Prints the milliseconds and the files found
// unchanged; the timed part lies between two pauses that let the caller read the bytes it read
// meanwhile.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bare_walk.h"
#include "bench/measurement_pause.h"

namespace {

bool SameSizeAndTime(const WIN32_FIND_DATAW& source, const WIN32_FILE_ATTRIBUTE_DATA& target) {
  return source.nFileSizeHigh == target.nFileSizeHigh && source.nFileSizeLow == target.nFileSizeLow &&
         CompareFileTime(&source.ftLastWriteTime, &target.ftLastWriteTime) == 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fputs("usage: unchanged_floor_bench SOURCE PATTERN DESTINATION\n", stderr);
    return 2;
  }
  const std::wstring source = argv[1], destination = argv[3];
  PauseForMeasurement("start");
  const Stopwatch watch;
  int unchanged = 0;
  ForEachFileIn(source, argv[2], [&](const WIN32_FIND_DATAW& data) {
    WIN32_FILE_ATTRIBUTE_DATA local;
    if (GetFileAttributesExW((destination + L"\\" + data.cFileName).c_str(), GetFileExInfoStandard, &local) &&
        SameSizeAndTime(data, local))
      ++unchanged;
    return true;
  });
  const double ms = watch.Milliseconds();
  PauseForMeasurement("end");
  std::printf("%.1f %d\n", ms, unchanged);
  return 0;
}
