#pragma once

#include <windows.h>

// The density calls of newer Windows, found at run time: an import of any of them would keep the
// program from loading on the systems before them.
namespace platform {

// The density the window is shown at: its monitor's where the system scales per monitor, the
// system's otherwise.
UINT WindowDpi(HWND window);

// The outer rectangle for a client rectangle, with the frame at the given density where the system
// draws frames per monitor (elsewhere the frame has the system's density whatever the monitor's).
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);

// Per-monitor awareness v2 for a process whose manifest does not ask for it, where the system has it.
void RequestPerMonitorDpiAwareness();

}  // namespace platform
