// copy_loop_bench SOURCE PATTERN DESTINATION [--flush|--flush-verify|--replace]: the platform's own
// floor for a refresh, timed in process: the files of SOURCE that match PATTERN listed with
// FindFirstFileW/FindNextFileW and each copied over its namesake in DESTINATION with one CopyFileW;
// with --flush each copy is then written through to the disk (opened for writing,
// FlushFileBuffers), the least a copy that must survive a power loss costs; with --flush-verify its
// signature is then checked by one WinVerifyTrust, as a pinned publisher asks, the least a refresh
// that checks what it puts in place costs; with --replace each is copied to a name of its own beside
// the target, flushed, and moved over the target in one MoveFileExW, the least a copy costs that
// never leaves a half-written target. Prints the milliseconds and the number of files copied.
// clang-format off
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>
// clang-format on

#include <cstdio>
#include <string>

#include "bench/bare_walk.h"
#include "platform/win32/unique_handle.h"

namespace {

// The check a pinned publisher asks for, with the same settings: no UI, revocation of the whole chain
// from the cache only.
bool Verified(const std::wstring& file) {
  WINTRUST_FILE_INFO fileInfo{};
  fileInfo.cbStruct = sizeof(fileInfo);
  fileInfo.pcwszFilePath = file.c_str();
  WINTRUST_DATA data{};
  data.cbStruct = sizeof(data);
  data.dwUIChoice = WTD_UI_NONE;
  data.dwUnionChoice = WTD_CHOICE_FILE;
  data.pFile = &fileInfo;
  data.dwStateAction = WTD_STATEACTION_IGNORE;
  data.fdwRevocationChecks = WTD_REVOKE_WHOLECHAIN;
  data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL | WTD_REVOCATION_CHECK_CHAIN_EXCLUDE_ROOT;
  GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
  const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
  return result == 0 || result == CERT_E_REVOCATION_FAILURE;
}

bool Flush(const std::wstring& path) {
  const UniqueFile copy(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  return copy && FlushFileBuffers(copy.get());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 5 ? argv[4] : L"";
  const bool verify = mode == L"--flush-verify";
  const bool flush = verify || mode == L"--flush", replace = mode == L"--replace";
  if (argc != 4 && !flush && !replace) {
    std::fputs("usage: copy_loop_bench SOURCE PATTERN DESTINATION [--flush|--flush-verify|--replace]\n", stderr);
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
    if (verify && !Verified(target)) return false;
    ++copied;
    return true;
  });
  if (!done) return 1;
  std::printf("%.1f %d\n", watch.Milliseconds(), copied);
  return 0;
}
