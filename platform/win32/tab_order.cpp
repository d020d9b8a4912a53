#include "platform/win32/tab_order.h"

namespace platform {
namespace {

bool CanFocus(HWND hwnd) {
  return hwnd && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && (GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP);
}

}  // namespace

HWND FocusedChild(HWND window) {
  HWND focus = GetFocus();
  return focus && GetParent(focus) == window ? focus : nullptr;
}

HWND NextInTabOrder(std::span<const HWND> controls, HWND from, bool backward) {
  const size_t count = controls.size();
  size_t start = count;
  for (size_t i = 0; i < count; ++i)
    if (controls[i] == from) start = i;
  for (size_t step = 1; step <= count; ++step) {
    size_t i;
    if (start == count)
      i = backward ? count - step : step - 1;
    else
      i = backward ? (start + count - step) % count : (start + step) % count;
    if (CanFocus(controls[i])) return controls[i];
  }
  return nullptr;
}

bool MoveFocusOnTab(HWND window, std::span<const HWND> controls, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  if (message.hwnd != window && GetParent(message.hwnd) != window) return false;
  const bool backward = GetKeyState(VK_SHIFT) < 0;
  if (HWND next = NextInTabOrder(controls, FocusedChild(window), backward)) SetFocus(next);
  return true;
}

}  // namespace platform
