#include "platform/win32/window_dpi.h"

#include <shellscalingapi.h>

#include "platform/win32/unique_handle.h"

namespace platform {
namespace {

// Windows 10 1607 and later.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
// Windows 10 1703 and later.
using SetProcessDpiAwarenessContextFunction = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
// Windows 8.1 and later, in a library that Windows 7 does not have.
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);

template <typename Function>
Function Find(HMODULE module, const char* name) {
  // Through an object pointer: the compiler rightly finds FARPROC's type unlike the function's.
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

template <typename Function>
Function FindInUser32(const char* name) {
  return Find<Function>(GetModuleHandleW(L"user32.dll"), name);
}

GetDpiForMonitorFunction FindGetDpiForMonitor() {
  // Loaded from the system folder only, and kept for the life of the process as the function is.
  static const UniqueModule shcore(LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  return Find<GetDpiForMonitorFunction>(shcore.get(), "GetDpiForMonitor");
}

UINT SystemDpi() {
  const UniqueScreenDc screen(GetDC(nullptr));
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

UINT WindowDpi(HWND window) {
  static const auto getDpiForWindow = FindInUser32<GetDpiForWindowFunction>("GetDpiForWindow");
  if (getDpiForWindow) return getDpiForWindow(window);
  static const auto getDpiForMonitor = FindGetDpiForMonitor();
  UINT dpiX = 0, dpiY = 0;
  if (getDpiForMonitor &&
      SUCCEEDED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), MDT_EFFECTIVE_DPI, &dpiX, &dpiY)))
    return dpiY;
  return SystemDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
  static const auto adjustForDpi = FindInUser32<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  if (adjustForDpi) {
    adjustForDpi(&rect, style, FALSE, exStyle, dpi);
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
}

void RequestPerMonitorDpiAwareness() {
  if (const auto setAwareness = FindInUser32<SetProcessDpiAwarenessContextFunction>("SetProcessDpiAwarenessContext"))
    setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

}  // namespace platform
