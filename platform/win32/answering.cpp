#include "platform/answering.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <utility>

#include "platform/win32/unique_handle.h"

namespace platform {
namespace {

// Often enough for the log to follow the copy line by line to the eye, seldom enough that a run of
// small files is not slowed down by drawing every line.
constexpr ULONGLONG kRepaintIntervalMs = 40;
// A window that never validates itself would keep its WM_PAINT coming; it must not hold the step.
constexpr int kMostPaintsAtOnce = 64;
// KeepResponsive puts repaints off for a few dozen milliseconds; waking this often gets a put-off
// repaint done soon after, even when nothing else arrives.
constexpr DWORD kWakeIntervalMs = 50;

// Waits until handle is signalled while the thread's windows answer; how the wait ended.
DWORD WaitAnswering(HANDLE handle) noexcept {
  for (;;) {
    const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, kWakeIntervalMs, QS_SENDMESSAGE | QS_PAINT);
    if (result != WAIT_OBJECT_0 + 1 && result != WAIT_TIMEOUT) return result;
    KeepResponsive();
  }
}

// The one thread that runs the calls, started at the first and kept until the process ends: under
// Wine a thread costs most of a millisecond to start, which once per copied file was a tenth of a
// refresh.
class CallThread {
 public:
  CallThread()
      : callReady_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
        callDone_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (callReady_ && callDone_) thread_.reset(CreateThread(nullptr, 0, &Loop, this, 0, nullptr));
  }
  ~CallThread() {
    if (!thread_) return;
    call_ = nullptr;  // asks the thread to end
    SetEvent(callReady_.get());
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  CallThread(const CallThread&) = delete;
  CallThread& operator=(const CallThread&) = delete;

  // Runs call on the thread while this one answers. False, with call not run, when there is no
  // thread or it is running another call (a call made from inside a call).
  bool Run(const std::function<void()>& call) {
    if (!thread_ || busy_.exchange(true)) return false;
    call_ = &call;
    SetEvent(callReady_.get());
    // The thread works on call, which lives in the caller's frame: it must be done before this returns.
    if (WaitAnswering(callDone_.get()) == WAIT_FAILED) WaitForSingleObject(callDone_.get(), INFINITE);
    std::exception_ptr error = std::exchange(error_, nullptr);
    busy_ = false;
    if (error) std::rethrow_exception(error);
    return true;
  }

 private:
  static DWORD WINAPI Loop(void* parameter) {
    CallThread& self = *static_cast<CallThread*>(parameter);
    for (;;) {
      WaitForSingleObject(self.callReady_.get(), INFINITE);
      if (!self.call_) return 0;
      try {
        (*self.call_)();
      } catch (...) {
        self.error_ = std::current_exception();
      }
      SetEvent(self.callDone_.get());
    }
  }

  UniqueKernelHandle callReady_, callDone_, thread_;
  const std::function<void()>* call_ = nullptr;
  std::exception_ptr error_;
  std::atomic<bool> busy_ = false;
};

}  // namespace

void CallAnswering(const std::function<void()>& call) {
  static CallThread thread;
  if (!thread.Run(call)) call();
}

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
