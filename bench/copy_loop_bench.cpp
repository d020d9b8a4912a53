// copy_loop_bench SOURCE PATTERN DESTINATION [--flush|--flush-verify]: the platform's own floor for a
// refresh, timed in process: the files of SOURCE that match PATTERN listed with
// FindFirstFileW/FindNextFileW and each copied over its namesake in DESTINATION with one CopyFileW;
// with --flush each copy is then written through to the disk (opened for writing, FlushFileBuffers),
// the least a copy that must survive a power loss costs; with --flush-verify its signature is then
// checked by one WinVerifyTrust, as a pinned publisher asks, the least a refresh that checks what it
// puts in place costs. Prints the milliseconds and the number of files copied.
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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring option = argc == 5 ? argv[4] : L"";
  const bool verify = option == L"--flush-verify";
  const bool flush = verify || option == L"--flush";
  if (argc != 4 && !flush) {
    std::fputs("usage: copy_loop_bench SOURCE PATTERN DESTINATION [--flush|--flush-verify]\n", stderr);
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
    if (verify && !Verified(target)) return false;
    ++copied;
    return true;
  });
  if (!done) return 1;
  std::printf("%.1f %d\n", watch.Milliseconds(), copied);
  return 0;
}
