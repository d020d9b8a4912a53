// Waits on the window's thread: the folder update lock between runs, and blocking platform calls
// run elsewhere, both while the thread's windows answer and nothing is taken off the queue.
#include "platform/win32/answering_wait.h"
#include "platform/answering_call.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/exception.h"
#include "base/text.h"
#include "platform/folder_update_lock.h"
#include "platform/win32/unique_handle.h"

namespace {

constexpr DWORD kGiveUpMs = 10000;
constexpr UINT kAsked = WM_APP + 1;
constexpr UINT kQueued = WM_APP + 2;

// Runs work on a thread of its own; Done tells whether it has finished within waitMs.
class OtherThread {
 public:
  explicit OtherThread(std::function<void()> work) : work_(std::move(work)) {
    thread_.reset(CreateThread(nullptr, 0, &Start, this, 0, nullptr));
  }
  ~OtherThread() { WaitForSingleObject(thread_.get(), kGiveUpMs); }
  bool Done(DWORD waitMs) const { return WaitForSingleObject(thread_.get(), waitMs) == WAIT_OBJECT_0; }

 private:
  static DWORD WINAPI Start(void* self) {
    static_cast<OtherThread*>(self)->work_();
    return 0;
  }
  std::function<void()> work_;
  UniqueKernelHandle thread_;
};

TEST(FolderUpdateLock, ASecondHolderOfTheSameFolderWaitsUntilTheFirstLetsGo) {
  SetCurrentDirectoryW(L"C:\\");
  // The same folder in other case, and spelled relatively.
  for (const char* spelling : {"c:\\KESTRANE-LOCK\\tavirel", "kestrane-lock\\..\\kestrane-lock\\TAVIREL"}) {
    SCOPED_TRACE(spelling);
    auto held = platform::FolderUpdateLock::Acquire(u"C:\\kestrane-lock\\Tavirel");
    // Another folder is another lock.
    EXPECT_TRUE(OtherThread([] { platform::FolderUpdateLock::Acquire(u"C:\\kestrane-lock\\Other"); }).Done(kGiveUpMs));
    OtherThread second([&] { platform::FolderUpdateLock::Acquire(FromUtf8(spelling)); });
    EXPECT_FALSE(second.Done(300));
    held.reset();
    EXPECT_TRUE(second.Done(kGiveUpMs));
  }
}

TEST(FolderUpdateLock, ALockWhoseHolderEndedWithoutLettingGoIsTakenOver) {
  platform::FolderUpdateLock* abandoned = nullptr;
  // A killed run's thread ends holding the lock.
  ASSERT_TRUE(OtherThread([&] {
                abandoned = platform::FolderUpdateLock::Acquire(u"C:\\kestrane-lock\\Killed").release();
              }).Done(kGiveUpMs));
  EXPECT_TRUE(OtherThread([] { platform::FolderUpdateLock::Acquire(u"C:\\kestrane-lock\\Killed"); }).Done(kGiveUpMs));
  delete abandoned;
}

LRESULT CALLBACK CountAsked(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAsked) return 42;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(CallAnswering, TheWindowAnswersWhileTheCallRunsAndItsQueueIsLeftAlone) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &CountAsked;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"KestraneAnsweringTest";
  RegisterClassW(&windowClass);
  const UniqueWindow window(
      CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  PostMessageW(window.get(), kQueued, 7, 0);
  DWORD_PTR answer = 0;
  // The call asks the waiting thread's window something: unanswered, it would give up.
  platform::CallAnswering([&] {
    SendMessageTimeoutW(window.get(), kAsked, 0, 0, SMTO_NORMAL, kGiveUpMs, &answer);
    PostMessageW(window.get(), kQueued, 8, 0);
  });
  EXPECT_EQ(answer, 42u);
  MSG message;
  ASSERT_TRUE(PeekMessageW(&message, window.get(), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, kQueued);
  EXPECT_EQ(message.wParam, 7u);
  ASSERT_TRUE(PeekMessageW(&message, window.get(), 0, 0, PM_REMOVE));
  EXPECT_EQ(message.wParam, 8u);
}

// One thread serves every call, and a call made from inside a call runs where it is made instead
// of waiting for the thread that is busy making it.
TEST(CallAnswering, OneThreadServesEveryCallAndACallInsideACallRunsInPlace) {
  DWORD first = 0, second = 0, inner = 0, outer = 0;
  platform::CallAnswering([&] { first = GetCurrentThreadId(); });
  platform::CallAnswering([&] { second = GetCurrentThreadId(); });
  platform::CallAnswering([&] {
    outer = GetCurrentThreadId();
    platform::CallAnswering([&] { inner = GetCurrentThreadId(); });
  });
  EXPECT_NE(first, GetCurrentThreadId());
  EXPECT_EQ(second, first);
  EXPECT_EQ(outer, first);
  EXPECT_EQ(inner, first);
}

TEST(CallAnswering, WhatTheCallRaisesIsRaisedToTheCaller) {
  try {
    platform::CallAnswering([] { throw EInOutError(u"The network path was not found"); });
    ADD_FAILURE() << "nothing raised";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Message(), u"The network path was not found");
  }
  // And the thread serves the next call.
  bool ran = false;
  platform::CallAnswering([&] { ran = true; });
  EXPECT_TRUE(ran);
}

}  // namespace
