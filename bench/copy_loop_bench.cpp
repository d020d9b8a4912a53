// copy_loop_bench SOURCE PATTERN DESTINATION [--flush|--replace]: the platform's own floor for a
// refresh, timed in process: the files of SOURCE that match PATTERN listed with
// FindFirstFileW/FindNextFileW and each copied over its namesake in DESTINATION with one CopyFileW;
// with --flush each copy is then written through to the disk (opened for writing,
// FlushFileBuffers), the least a copy that must survive a power loss costs; with --replace each is
// copied to a name of its own beside the target, flushed, and moved over the target in one
// MoveFileExW, the least a copy costs that never leaves a half-written target. Prints the
// milliseconds and the number of files copied.
#include <windows.h>

#include <cstdio>
#include <string>

#include "bench/bare_walk.h"
#include "platform/win32/unique_handle.h"

namespace {

bool Flush(const std::wstring& path) {
  const UniqueFile copy(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  return copy && FlushFileBuffers(copy.get());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 5 ? argv[4] : L"";
  const bool flush = mode == L"--flush", replace = mode == L"--replace";
  if (argc != 4 && !flush && !replace) {
    std::fputs("usage: copy_loop_bench SOURCE PATTERN DESTINATION [--flush|--replace]\n", stderr);
    return 2;
  }
  const std::wstring source = argv[1], destination = argv[3];
  const Stopwatch watch;
  int copied = 0;
  const bool done = ForEachFileIn(source, argv[2], [&](const WIN32_FIND_DATAW& data) {
    const std::wstring from = source + L"\\" + data.cFileName, target = destination + L"\\" + data.cFileName;
    if (replace) {
      const std::wstring fresh = destination + L"\\~" + data.cFileName + L".new";
      if (!CopyFileW(from.c_str(), fresh.c_str(), FALSE) || !Flush(fresh) ||
          !MoveFileExW(fresh.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return false;
    } else if (!CopyFileW(from.c_str(), target.c_str(), FALSE) || (flush && !Flush(target))) {
      return false;
    }
    ++copied;
    return true;
  });
  if (!done) return 1;
  std::printf("%.1f %d\n", watch.Milliseconds(), copied);
  return 0;
}
