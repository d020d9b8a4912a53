// Stands for a program of the suite that is in use while an update runs, or for another run that
// holds a folder: started from the destination folder it runs from its own file, and given a file
// and a sharing mode it holds that file open as another program would ("none": as a run holds its
// folder's lock, created when missing). It creates READY_FILE once it holds what it should, then
// waits to be ended, or lets go after SECONDS, and not before RELEASE_FILE exists when it is given
// (the test creates it once it has seen what it waits for).
//
//   holder READY_FILE [FILE read|read-delete|none [SECONDS [RELEASE_FILE]]]
#include <windows.h>

#include <cwchar>
#include <string_view>

#include "platform/win32/unique_handle.h"

namespace {

DWORD SharingOf(std::wstring_view mode) {
  if (mode == L"read-delete") return FILE_SHARE_READ | FILE_SHARE_DELETE;
  if (mode == L"none") return 0;
  return FILE_SHARE_READ;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 4 && argc != 5 && argc != 6) return 2;
  UniqueFile held;
  if (argc >= 4) {
    held.reset(CreateFileW(argv[2], GENERIC_READ, SharingOf(argv[3]), nullptr, OPEN_ALWAYS, 0, nullptr));
    if (!held) return 3;
  }
  if (!UniqueFile(CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr))) return 4;
  Sleep(argc >= 5 ? static_cast<DWORD>(_wtoi(argv[4]) * 1000) : 5 * 60 * 1000);  // the test ends it long before
  while (argc == 6 && GetFileAttributesW(argv[5]) == INVALID_FILE_ATTRIBUTES) Sleep(20);
  return 0;
}
