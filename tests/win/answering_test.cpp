// Blocking platform calls run elsewhere while the window's thread answers and nothing is taken off
// its queue.
#include "platform/answering.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/exception.h"
#include "platform/win32/unique_handle.h"

namespace {

constexpr DWORD kGiveUpMs = 10000;
constexpr UINT kAsked = WM_APP + 1;
constexpr UINT kQueued = WM_APP + 2;

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

// Work handed over without waiting (the picture's scaling) runs on the same thread, and a call made
// meanwhile waits for it rather than running beside it.
TEST(CallAnswering, WorkStartedBesideRunsFirstOnTheSameThread) {
  DWORD beside = 0, call = 0;
  bool besideDone = false, doneBeforeCall = false;
  ASSERT_TRUE(platform::StartBeside([&] {
    Sleep(200);
    beside = GetCurrentThreadId();
    besideDone = true;
  }));
  platform::CallAnswering([&] {
    call = GetCurrentThreadId();
    doneBeforeCall = besideDone;
  });
  EXPECT_TRUE(doneBeforeCall);
  EXPECT_EQ(beside, call);
  EXPECT_NE(call, GetCurrentThreadId());
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
