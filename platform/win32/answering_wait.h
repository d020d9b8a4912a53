#pragma once

#include <windows.h>

#include <functional>

namespace platform {

// Waits until handle is signalled while the thread's windows repaint and answer the messages sent
// to them, as KeepResponsive lets them; no input, tick or posted message is taken off the queue.
// Returns how the wait ended: WAIT_OBJECT_0, WAIT_ABANDONED_0 (a mutex whose owner ended without
// letting go) or WAIT_FAILED.
DWORD WaitAnswering(HANDLE handle) noexcept;

// Runs call on a thread of its own and waits for it with WaitAnswering, so that a call the platform
// may block in for as long as a file server takes never freezes the window. What call raises is
// raised here; when no thread can be had, call runs on the calling thread.
void CallAnswering(const std::function<void()>& call);

}  // namespace platform
