// copy_loop_bench SOURCE PATTERN DESTINATION [--flush]: the platform's own floor for a refresh,
// timed in process: the files of SOURCE that match PATTERN listed with FindFirstFileW/FindNextFileW
// and each copied over its namesake in DESTINATION with one CopyFileW; with --flush each copy is then
// written through to the disk (opened for writing, FlushFileBuffers), the least a copy that must
// survive a power loss costs. Prints the milliseconds and the number of files copied.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bare_walk.h"
#include "platform/win32/unique_handle.h"

int wmain(int argc, wchar_t** argv) {
  const bool flush = argc == 5 && std::wstring(argv[4]) == L"--flush";
  if (argc != 4 && !flush) {
    std::fputs("usage: copy_loop_bench SOURCE PATTERN DESTINATION [--flush]\n", stderr);
    return 2;
  }
  const std::wstring source = argv[1], destination = argv[3];
  const Stopwatch watch;
  int copied = 0;
  const bool done = ForEachFileIn(source, argv[2], [&](const WIN32_FIND_DATAW& data) {
    const std::wstring target = destination + L"\\" + data.cFileName;
    if (!CopyFileW((source + L"\\" + data.cFileName).c_str(), target.c_str(), FALSE)) return false;
    if (flush) {
      const UniqueFile copy(
          CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
      if (!copy || !FlushFileBuffers(copy.get())) return false;
    }
    ++copied;
    return true;
  });
  if (!done) return 1;
  std::printf("%.1f %d\n", watch.Milliseconds(), copied);
  return 0;
}
