#include "platform/answering.h"

#include <windows.h>

#include <algorithm>
#include <deque>
#include <exception>
#include <mutex>
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

// The one thread that runs the calls and the work started beside, one after the other, started at
// the first and kept until the process ends: under Wine a thread costs most of a millisecond to
// start, which once per copied file was a tenth of a refresh, and over a megabyte of memory.
class CallThread {
 public:
  CallThread() : jobReady_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
    if (jobReady_) thread_.reset(CreateThread(nullptr, 0, &Loop, this, 0, &threadId_));
  }
  ~CallThread() {
    if (!thread_) return;
    Queue(nullptr);  // asks the thread to end once the queue is done
    WaitForSingleObject(thread_.get(), INFINITE);
  }
  CallThread(const CallThread&) = delete;
  CallThread& operator=(const CallThread&) = delete;

  // Whether the thread serves the calling thread: it runs, and it is not the caller itself.
  bool Serves() const { return thread_ && GetCurrentThreadId() != threadId_; }

  void Queue(std::function<void()> job) {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      jobs_.push_back(std::move(job));
    }
    SetEvent(jobReady_.get());
  }

  // Runs call on the thread, after what was queued before it, while this one answers.
  void Run(const std::function<void()>& call) {
    const UniqueKernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) return call();
    std::exception_ptr error;
    Queue([&] {
      try {
        call();
      } catch (...) {
        error = std::current_exception();
      }
      SetEvent(done.get());
    });
    // The thread works on call, which lives in this frame: it must be done before this returns.
    if (WaitAnswering(done.get()) == WAIT_FAILED) WaitForSingleObject(done.get(), INFINITE);
    if (error) std::rethrow_exception(error);
  }

 private:
  static DWORD WINAPI Loop(void* parameter) {
    CallThread& self = *static_cast<CallThread*>(parameter);
    for (;;) {
      std::function<void()> job;
      {
        const std::lock_guard<std::mutex> hold(self.lock_);
        if (!self.jobs_.empty()) {
          job = std::move(self.jobs_.front());
          self.jobs_.pop_front();
          if (!job) return 0;
        }
      }
      if (job)
        job();
      else
        WaitForSingleObject(self.jobReady_.get(), INFINITE);
    }
  }

  UniqueKernelHandle jobReady_, thread_;
  DWORD threadId_ = 0;
  std::mutex lock_;
  std::deque<std::function<void()>> jobs_;
};

CallThread& TheCallThread() {
  static CallThread thread;
  return thread;
}

}  // namespace

void CallAnswering(const std::function<void()>& call) {
  CallThread& thread = TheCallThread();
  if (!thread.Serves()) return call();
  thread.Run(call);
}

bool StartBeside(std::function<void()> work) {
  CallThread& thread = TheCallThread();
  if (!thread.Serves()) return false;
  thread.Queue(std::move(work));
  return true;
}

void KeepResponsive() noexcept {
  MSG message;
  // Sent messages are answered inside the call; nothing is taken off the queue.
  PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  thread_local ULONGLONG lastRepaint = 0;
  const ULONGLONG now = GetTickCount64();
  if (now - lastRepaint < kRepaintIntervalMs) return;
  lastRepaint = now;
  // A window that asks for another paint while it paints (a log with lines not yet due) gets it in
  // the next round.
  HWND painted[kMostPaintsAtOnce];
  for (int i = 0; i < kMostPaintsAtOnce && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i) {
    if (message.message == WM_QUIT) {
      // Not ours to take: the message loop ends on it once the step is over.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (std::find(painted, painted + i, message.hwnd) != painted + i) return;
    painted[i] = message.hwnd;
    DispatchMessageW(&message);
  }
}

}  // namespace platform
