#pragma once

#include <windows.h>

#include <span>

#include "platform/win32/form_fonts.h"
#include "platform/win32/picture.h"
#include "platform/window_toolkit.h"

namespace platform {

// Paints what the window draws on its own face for a WM_PAINT: the pictures and the visible
// labels, in table order, at the window's density.
void PaintFormFace(HWND window, std::span<const ControlLayout> controls, UINT dpi, const FormFonts& fonts,
                   Picture& picture);

}  // namespace platform
