#pragma once

#include <windows.h>

#include <span>

// The window is no dialog and its message loop does not call IsDialogMessage, which besides Tab
// would take Enter, Escape, the arrow keys and mnemonics for a dialog's keyboard interface that
// this window does not have. So nothing moves the focus on its own: the loop and the window's
// next-control request move it here, through the controls in the layout's tab order.
namespace platform {

// The child of window that has the focus; null when the focus is elsewhere.
HWND FocusedChild(HWND window);

// The control after from (before it when backward), wrapping around, that can take the focus:
// visible, enabled and a tab stop. From the start (the end when backward) when from is none of
// controls; null when no control can take the focus.
HWND NextInTabOrder(std::span<const HWND> controls, HWND from, bool backward);

// Moves the focus for a Tab (Shift+Tab backward) pressed in window or one of its children, and
// says whether the message was such a key and so is handled.
bool MoveFocusOnTab(HWND window, std::span<const HWND> controls, const MSG& message);

}  // namespace platform
