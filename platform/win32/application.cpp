#include <windows.h>

#include "platform/win32/wide.h"
#include "platform/window_toolkit.h"

namespace platform {

void ShowErrorReport(const std::u16string& text, const std::u16string& caption) {
  // Owned by the active window, which the box disables while it is open; before the window is
  // shown there is none, and the box is then modal to the whole thread.
  HWND owner = GetActiveWindow();
  MessageBoxW(owner, Wide(text), Wide(caption), MB_OK | MB_ICONSTOP | (owner ? 0 : MB_TASKMODAL));
}

void ShowStartupFailure(const std::u16string& errorKind, const std::u16string& message) {
  const std::u16string text = errorKind + u": " + message;
  MessageBoxW(nullptr, Wide(text), L"Application Error", MB_OK | MB_ICONSTOP | MB_TASKMODAL);
}

std::u16string ExecutablePath() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, Wide(path), static_cast<DWORD>(path.size()));
    if (length < path.size()) return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

}  // namespace platform
