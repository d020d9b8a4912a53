#include "platform/win32/answering_wait.h"

#include <atomic>
#include <exception>
#include <utility>

#include "platform/answering_call.h"
#include "platform/win32/unique_handle.h"
#include "platform/window_toolkit.h"

namespace platform {
namespace {

// KeepResponsive puts repaints off for a few dozen milliseconds; waking this often gets a put-off
// repaint done soon after, even when nothing else arrives.
constexpr DWORD kWakeIntervalMs = 50;

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

DWORD WaitAnswering(HANDLE handle) noexcept {
  for (;;) {
    const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, kWakeIntervalMs, QS_SENDMESSAGE | QS_PAINT);
    if (result != WAIT_OBJECT_0 + 1 && result != WAIT_TIMEOUT) return result;
    KeepResponsive();
  }
}

void CallAnswering(const std::function<void()>& call) {
  static CallThread thread;
  if (!thread.Run(call)) call();
}

}  // namespace platform
