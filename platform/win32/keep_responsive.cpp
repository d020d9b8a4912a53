#include <windows.h>

#include "platform/window_toolkit.h"

namespace platform {
namespace {

// Often enough for the log to follow the copy line by line to the eye, seldom enough that a run of
// small files is not slowed down by drawing every line.
constexpr ULONGLONG kRepaintIntervalMs = 40;
// A window that never validates itself would keep its WM_PAINT coming; it must not hold the step.
constexpr int kMostPaintsAtOnce = 64;

}  // namespace

void KeepResponsive() noexcept {
  MSG message;
  // Sent messages are answered inside the call; nothing is taken off the queue.
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  thread_local ULONGLONG lastRepaint = 0;
  const ULONGLONG now = GetTickCount64();
  if (now - lastRepaint < kRepaintIntervalMs) return;
  lastRepaint = now;
  for (int i = 0; i < kMostPaintsAtOnce && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the message loop ends on it once the step is over.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    DispatchMessageW(&message);
  }
}

}  // namespace platform
