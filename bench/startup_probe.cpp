// startup_probe [--close] PROGRAM [ARGUMENT]: starts PROGRAM (with ARGUMENT as its command line's
// rest) and prints, as one JSON line, the milliseconds until its first top-level window is visible
// and painted, and until it exits. With --close the window is closed as soon as it shows; otherwise
// the program ends by itself.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/unique_handle.h"

namespace {

struct Search {
  DWORD process;
  HWND found;
};

HWND VisibleWindowOf(DWORD process) {
  Search search{process, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == s->process && IsWindowVisible(hwnd)) {
          s->found = hwnd;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool close = argc > 1 && std::wstring(argv[1]) == L"--close";
  const int program = close ? 2 : 1;
  if (argc <= program) {
    std::fputs("usage: startup_probe [--close] PROGRAM [ARGUMENT]\n", stderr);
    return 2;
  }
  std::wstring commandLine = L"\"" + std::wstring(argv[program]) + L"\"";
  if (argc > program + 1) commandLine += L" " + std::wstring(argv[program + 1]);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  LARGE_INTEGER frequency, start, shown{}, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return 1;
  const UniqueKernelHandle processThread(process.hThread), processHandle(process.hProcess);
  while (WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT) {
    if (HWND window = VisibleWindowOf(process.dwProcessId)) {
      // A window becomes visible before its first paint; its thread answers a message sent from
      // here only once it is back in its message loop, with the paint done.
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, nullptr);
      QueryPerformanceCounter(&shown);
      if (close) PostMessageW(window, WM_CLOSE, 0, 0);
      break;
    }
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  QueryPerformanceCounter(&end);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  auto ms = [&](const LARGE_INTEGER& t) { return (t.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart; };
  std::printf("{\"shown_ms\": %.1f, \"exit_ms\": %.1f, \"exit_code\": %lu}\n", shown.QuadPart ? ms(shown) : -1.0,
              ms(end), exitCode);
  return 0;
}
