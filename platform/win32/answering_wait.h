#pragma once

#include <windows.h>

namespace platform {

// Waits until handle is signalled while the thread's windows repaint and answer the messages sent
// to them, as KeepResponsive lets them; no input, tick or posted message is taken off the queue.
// Returns how the wait ended: WAIT_OBJECT_0, WAIT_ABANDONED_0 (a mutex whose owner ended without
// letting go) or WAIT_FAILED.
DWORD WaitAnswering(HANDLE handle) noexcept;

}  // namespace platform
