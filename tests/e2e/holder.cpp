// Stands for a program of the suite that is in use while an update runs: started from the
// destination folder it runs from its own file, and given a file and a sharing mode it holds that
// file open as another program would. It creates READY_FILE once it holds what it should, then
// waits to be ended.
//
//   holder READY_FILE [FILE read|read-delete]
#include <windows.h>

#include <string_view>

#include "platform/win32/unique_handle.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 && argc != 4) return 2;
  UniqueFile held;
  if (argc == 4) {
    const DWORD sharing = std::wstring_view(argv[3]) == L"read-delete" ? FILE_SHARE_READ | FILE_SHARE_DELETE
                                                                        : FILE_SHARE_READ;
    held.reset(CreateFileW(argv[2], GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!held) return 3;
  }
  if (!UniqueFile(CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr))) return 4;
  Sleep(5 * 60 * 1000);  // the test ends it long before
  return 0;
}
