#include "platform/win32/answering_wait.h"

#include <exception>

#include "platform/answering_call.h"

#include "platform/win32/unique_handle.h"
#include "platform/window_toolkit.h"

namespace platform {
namespace {

// KeepResponsive puts repaints off for a few dozen milliseconds; waking this often gets a put-off
// repaint done soon after, even when nothing else arrives.
constexpr DWORD kWakeIntervalMs = 50;

struct PendingCall {
  const std::function<void()>& call;
  std::exception_ptr error;
};

DWORD WINAPI RunPendingCall(void* parameter) {
  PendingCall& pending = *static_cast<PendingCall*>(parameter);
  try {
    pending.call();
  } catch (...) {
    pending.error = std::current_exception();
  }
  return 0;
}

}  // namespace

DWORD WaitAnswering(HANDLE handle) noexcept {
  for (;;) {
    const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, kWakeIntervalMs, QS_SENDMESSAGE | QS_PAINT);
    if (result != WAIT_OBJECT_0 + 1 && result != WAIT_TIMEOUT) return result;
    KeepResponsive();
  }
}

void CallAnswering(const std::function<void()>& call) {
  PendingCall pending{call, nullptr};
  const UniqueKernelHandle thread(CreateThread(nullptr, 0, &RunPendingCall, &pending, 0, nullptr));
  if (!thread) {
    call();
    return;
  }
  // The thread works on this frame's record: it must have ended before the frame goes.
  if (WaitAnswering(thread.get()) == WAIT_FAILED) WaitForSingleObject(thread.get(), INFINITE);
  if (pending.error) std::rethrow_exception(pending.error);
}

}  // namespace platform
