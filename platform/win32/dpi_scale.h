#pragma once

#include <windows.h>

#include "platform/window_toolkit.h"

namespace platform {

// The layout is given in design units at 96 dpi; the window shows it at its screen's density.
inline constexpr int kDesignDpi = 96;

inline int Scaled(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), kDesignDpi); }

inline RECT ScaledRect(const ControlLayout& control, UINT dpi) {
  const int left = Scaled(control.left, dpi), top = Scaled(control.top, dpi);
  return RECT{left, top, left + Scaled(control.width, dpi), top + Scaled(control.height, dpi)};
}

}  // namespace platform
