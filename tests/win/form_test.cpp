#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "base/exception.h"
#include "base/text.h"
#include "platform/answering.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_dpi.h"
#include "platform/window_toolkit.h"
#include "tests/win/recording_log.h"
#include "tests/win/scratch.h"
#include "update/file_refresh.h"

namespace {

using platform::ControlKind;
using platform::ControlLayout;

// Tab order among the windowed controls: memo, edit, button; the disabled edit, the hidden button
// and the label never take the focus.
enum Control : size_t { kLabel, kMemo, kDisabledEdit, kHiddenButton, kEdit, kButton };
constexpr std::array<ControlLayout, 6> kControls{{
    {u"Label", ControlKind::Label, 8, 8, 60, 13, u"Caption :", true, true},
    {u"Memo", ControlKind::Memo, 8, 24, 150, 60, u"", true, true, platform::FontKind::Form,
     platform::TextColour::WindowText, true},
    {u"DisabledEdit", ControlKind::Edit, 8, 90, 150, 21, u"", true, false},
    {u"HiddenButton", ControlKind::Button, 170, 90, 75, 25, u"Hidden", false, true},
    {u"Edit", ControlKind::Edit, 8, 116, 150, 21, u"", true, true},
    {u"Button", ControlKind::Button, 8, 142, 150, 25, u"Go", true, true},
}};
constexpr platform::FormLayout kLayout{u"KestraneToolkitTest", u"Toolkit test", 300, 180, kControls};

// Records every call; each handler may be given something to do on top.
struct RecordingEvents : platform::FormEvents {
  std::vector<char16_t> keys;
  std::vector<size_t> clicks;
  std::vector<unsigned> ticks;
  std::vector<std::u16string> errors;
  int shows = 0;
  std::function<void()> onShow;
  std::function<void(char16_t&)> onKeyPress;
  std::function<void(size_t)> onClick;
  std::function<void(unsigned)> onTimer;

  void OnShow() override {
    ++shows;
    if (onShow) onShow();
  }
  void OnKeyPress(char16_t& key) override {
    keys.push_back(key);
    if (onKeyPress) onKeyPress(key);
  }
  void OnClick(size_t control) override {
    clicks.push_back(control);
    if (onClick) onClick(control);
  }
  void OnTimer(unsigned timer) override {
    ticks.push_back(timer);
    if (onTimer) onTimer(timer);
  }
  void OnHandlerError(const Exception& error) override { errors.push_back(error.Message()); }
};

int Width(const RECT& rect) { return rect.right - rect.left; }

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = platform::Form::Create(kLayout, events_);
    window_ = FindWindowW(Wide(std::u16string(kLayout.windowClass)), Wide(std::u16string(kLayout.caption)));
    ASSERT_NE(window_, nullptr);
  }

  void TearDown() override {
    form_.reset();
    // A quit request left by a test must not end the next test's loop.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  // Shows the window without running the form's loop, for tests that send their messages.
  void Show() {
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
  }

  // The control's window, by the id the form gives it, as a watcher from outside finds it.
  HWND ControlWindow(size_t control) { return GetDlgItem(window_, platform::ControlId(control)); }

  // The focused control's index, or -1 for the window itself or any other window.
  int FocusedControl() {
    HWND focus = GetFocus();
    for (size_t i = 0; i < kControls.size(); ++i)
      if (kControls[i].kind != ControlKind::Label && ControlWindow(i) == focus) return static_cast<int>(i);
    return -1;
  }

  // Runs the form's own loop over the messages posted so far, then ends it with the close box.
  void RunPosted() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    form_->Run();
  }

  RecordingEvents events_;
  std::unique_ptr<platform::Form> form_;
  HWND window_ = nullptr;
};

// The window's own Enter handling: the key is swallowed and the focus moves on.
void SwallowEnter(platform::Form& form, char16_t& key) {
  if (key != u'\r') return;
  key = 0;
  form.FocusNextControl();
}

TEST_F(FormTest, EnterOnTheWindowItselfMovesTheFocusToTheFirstControl) {
  Show();
  events_.onKeyPress = [this](char16_t& key) { SwallowEnter(*form_, key); };
  SetFocus(window_);
  SendMessageW(window_, WM_CHAR, u'a', 0);
  EXPECT_EQ(FocusedControl(), -1);
  SendMessageW(window_, WM_CHAR, u'\r', 0);
  EXPECT_EQ(FocusedControl(), kMemo);
  EXPECT_EQ(events_.keys, (std::vector<char16_t>{u'a', u'\r'}));
}

TEST_F(FormTest, KeysTypedInAControlNeverReachTheWindowsHandler) {
  Show();
  HWND edit = ControlWindow(kEdit);
  SetFocus(edit);
  PostMessageW(edit, WM_CHAR, u'x', 0);
  PostMessageW(edit, WM_CHAR, u'\r', 0);
  PostMessageW(ControlWindow(kButton), WM_CHAR, u'\r', 0);
  RunPosted();
  EXPECT_TRUE(events_.keys.empty());
  EXPECT_EQ(form_->Text(kEdit), u"x");
}

TEST_F(FormTest, TheNextControlRequestFollowsTabOrderAndWraps) {
  Show();
  struct Case {
    int from;  // -1: the window itself
    Control to;
  };
  for (const Case& c : {Case{-1, kMemo}, Case{kMemo, kEdit}, Case{kEdit, kButton}, Case{kButton, kMemo}}) {
    SetFocus(c.from < 0 ? window_ : ControlWindow(static_cast<size_t>(c.from)));
    form_->FocusNextControl();
    EXPECT_EQ(FocusedControl(), c.to) << "from " << c.from;
  }
}

TEST_F(FormTest, TabInTheLoopVisitsVisibleEnabledControlsInTableOrderAndWraps) {
  struct Case {
    bool shift;
    std::vector<int> visited;  // from the memo
  };
  Show();
  std::vector<int> visited;
  events_.onTimer = [&](unsigned) { visited.push_back(FocusedControl()); };
  std::array<BYTE, 256> keys{};
  GetKeyboardState(keys.data());
  for (const Case& c : {Case{false, {kEdit, kButton, kMemo, kEdit}}, Case{true, {kButton, kEdit, kMemo, kButton}}}) {
    visited.clear();
    SetFocus(ControlWindow(kMemo));
    keys[VK_SHIFT] = c.shift ? 0x80 : 0;
    SetKeyboardState(keys.data());
    // Posted messages keep their order; a posted tick without a timer procedure reads the focus
    // between two keys.
    for (size_t i = 0; i < c.visited.size(); ++i) {
      PostMessageW(window_, WM_KEYDOWN, VK_TAB, 0);
      PostMessageW(window_, WM_TIMER, 1, 0);
    }
    RunPosted();
    EXPECT_EQ(visited, c.visited) << "shift " << c.shift;
  }
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys.data());
}

// Every handler boundary catches both error families, and the loop carries on after each.
class HandlerBoundaryTest : public FormTest {
 protected:
  template <typename Throw>
  void RunWithFailingHandlers(Throw fail) {
    events_.onShow = [&] { fail("show failed"); };
    events_.onClick = [&](size_t) { fail("click failed"); };
    events_.onTimer = [&](unsigned) {
      if (events_.ticks.size() == 2) form_->Close();
      fail("tick failed");
    };
    PostMessageW(ControlWindow(kButton), BM_CLICK, 0, 0);
    form_->EnableTimer(7, 20);
    form_->Run();
    EXPECT_EQ(events_.shows, 1);
    EXPECT_EQ(events_.clicks, std::vector<size_t>{kButton});
    EXPECT_EQ(events_.ticks, (std::vector<unsigned>{7, 7}));
    EXPECT_EQ(events_.errors,
              (std::vector<std::u16string>{u"show failed", u"click failed", u"tick failed", u"tick failed"}));
  }
};

TEST_F(HandlerBoundaryTest, AnExceptionReachesTheErrorHandler) {
  RunWithFailingHandlers([](const char* message) { throw Exception(FromUtf8(message)); });
}

TEST_F(HandlerBoundaryTest, AStandardExceptionReachesTheErrorHandlerWithItsMessage) {
  RunWithFailingHandlers([](const char* message) { throw std::runtime_error(message); });
}

TEST_F(FormTest, ATimerTicksWithItsId) {
  events_.onTimer = [&](unsigned) {
    if (events_.ticks.size() == 3) form_->Close();
  };
  form_->EnableTimer(5, 10);
  form_->Run();
  EXPECT_EQ(events_.ticks, (std::vector<unsigned>{5, 5, 5}));
}

TEST_F(FormTest, TicksThatFallDueWhileAHandlerIsBusyMerge) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kInterval = std::chrono::milliseconds(50);
  Clock::time_point busyEnd;
  std::vector<Clock::time_point> after;
  events_.onTimer = [&](unsigned) {
    if (events_.ticks.size() == 1) {
      Sleep(10 * static_cast<DWORD>(kInterval.count()));
      busyEnd = Clock::now();
    } else {
      after.push_back(Clock::now());
      if (after.size() == 3) form_->Close();
    }
  };
  form_->EnableTimer(1, static_cast<unsigned>(kInterval.count()));
  form_->Run();
  // Ten intervals went by while busy; merged, at most the one pending tick and the next regular
  // one can follow within an interval of the handler's return.
  int soon = 0;
  for (const Clock::time_point& tick : after) soon += tick - busyEnd < kInterval;
  EXPECT_LE(soon, 2);
}

TEST_F(FormTest, CloseEndsTheLoopOnceTheCurrentHandlerReturns) {
  bool handlerFinished = false;
  events_.onTimer = [&](unsigned) {
    form_->Close();
    Sleep(100);  // further ticks fall due meanwhile
    handlerFinished = true;
  };
  PostMessageW(window_, WM_TIMER, 2, 0);
  form_->EnableTimer(1, 10);
  form_->Run();
  EXPECT_TRUE(handlerFinished);
  EXPECT_EQ(events_.ticks, std::vector<unsigned>{2});
}

// How long a test waits for what a passing one sees at once.
constexpr UINT kUnansweredMs = 5000;

// Sends a message from another thread, as another process would; the window's thread answers it
// only while it handles sent messages. False when no answer came.
bool SendFromElsewhere(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_NORMAL, kUnansweredMs, &result) != 0;
}

// A message on its way from another thread: construction returns once it waits for this thread.
class SentMessage {
 public:
  explicit SentMessage(std::function<bool()> send)
      : sender_([this, send] {
          answered_ = send();
          returned_ = true;
        }) {
    while (!(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE)) Sleep(1);
  }
  // Whether the send has returned, answered or not.
  bool Returned() const { return returned_; }
  // Whether this thread answered it before coming here (here it answers nothing more).
  bool Answered() {
    sender_.join();
    return answered_;
  }

 private:
  std::atomic<bool> answered_ = false, returned_ = false;
  std::jthread sender_;
};

// What another process reads from a control: its text, once the window's thread has answered.
struct TextReader {
  explicit TextReader(HWND control)
      : message([this, control] {
          std::vector<wchar_t> buffer(1 << 20);
          const bool answered =
              SendFromElsewhere(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
          text = FromWide(buffer.data());
          return answered;
        }) {}
  std::u16string text;
  SentMessage message;
};

// The run's copy as the program runs it: a long handler on the window's thread that logs line by
// line, faster than the log shows them one by one. What another process sends meanwhile is
// answered while the handler goes on logging, and each read of the log finds every line logged up
// to some point, whole and in order; no click and no tick, queued or sent, is handled before the
// handler ends, and the last lines are in the log and drawn before the window's loop ends.
TEST_F(FormTest, ALongHandlerAnswersWhatIsSentWhileClicksAndTicksWait) {
  Show();
  HWND memo = ControlWindow(kMemo), button = ControlWindow(kButton);
  std::u16string logged;  // what the log must read once every line is in
  int lines = 0;
  // Logs line after line until sent has been answered (or clearly never will be).
  const auto logUntilReturned = [&](const SentMessage& sent) {
    const ULONGLONG giveUp = GetTickCount64() + kUnansweredMs;
    while (!sent.Returned() && GetTickCount64() < giveUp) {
      const std::u16string line = u"line " + FromUtf8(std::to_string(++lines));
      form_->AppendLine(kMemo, line);
      logged += line + u"\r\n";
      Sleep(1);  // the work between two lines
    }
  };
  std::vector<bool> answered;
  std::vector<std::u16string> read, loggedWhenRead;
  events_.onClick = [&](size_t) {
    if (events_.clicks.size() > 1) return;
    PostMessageW(button, BM_CLICK, 0, 0);
    form_->EnableTimer(9, 1);
    while (!(HIWORD(GetQueueStatus(QS_TIMER)) & QS_TIMER)) Sleep(1);
    SentMessage click([button] { return SendFromElsewhere(button, BM_CLICK); });
    logUntilReturned(click);
    answered.push_back(click.Answered());
    for (int i = 0; i < 3; ++i) {
      TextReader reader(memo);
      logUntilReturned(reader.message);
      answered.push_back(reader.message.Answered());
      read.push_back(reader.text);
      loggedWhenRead.push_back(logged);
    }
    // And drawn: a step that keeps going has the log painted within the repaint interval.
    const ULONGLONG giveUp = GetTickCount64() + kUnansweredMs;
    while (GetUpdateRect(memo, nullptr, FALSE) && GetTickCount64() < giveUp) platform::KeepResponsive();
    EXPECT_FALSE(GetUpdateRect(memo, nullptr, FALSE));
    EXPECT_EQ(events_.clicks.size(), 1u);
    EXPECT_TRUE(events_.ticks.empty());
  };
  events_.onTimer = [&](unsigned) {
    // The second of two lines in a row is not due to be handed over yet when the window closes.
    for (const char16_t* line : {u"closing", u"closed"}) {
      form_->AppendLine(kMemo, line);
      logged += line + std::u16string(u"\r\n");
    }
    form_->Close();
  };
  PostMessageW(button, BM_CLICK, 0, 0);
  form_->Run();
  EXPECT_EQ(answered, (std::vector<bool>{true, true, true, true}));
  ASSERT_EQ(read.size(), 3u);
  for (size_t i = 0; i < read.size(); ++i) {
    // Whole lines from the first on, none missing, none out of order.
    EXPECT_EQ(read[i], loggedWhenRead[i].substr(0, read[i].size()));
    EXPECT_TRUE(read[i].ends_with(u"\r\n")) << i;
    if (i > 0) {
      EXPECT_GT(read[i].size(), read[i - 1].size());
    }
  }
  // The last lines were shown before the window's loop ended. Looked at without a message to the
  // log, which would hand any waiting line over: nothing waits to be drawn, so no line waits at all.
  EXPECT_FALSE(GetUpdateRect(memo, nullptr, FALSE));
  EXPECT_EQ(form_->Text(kMemo), logged);
  // Afterwards, in order: the queued click, the sent one, the tick.
  EXPECT_EQ(events_.clicks, (std::vector<size_t>{kButton, kButton, kButton}));
  EXPECT_EQ(events_.ticks, std::vector<unsigned>{9});
}

bool HoldsAFreshCopy(const std::u16string& folder) {
  WIN32_FIND_DATAW entry;
  return static_cast<bool>(UniqueFind(FindFirstFileW(Wide(folder + u"\\~kst*.tmp"), &entry)));
}

// A single long file is copied, flushed and renamed while the window answers what another process
// sends it once the copy has begun; a click waits until the refresh has ended.
TEST_F(FormTest, ARefreshAnswersWhatIsSentDuringALongCopyWhileAClickWaits) {
  Show();
  const ScratchFolder share(u"responsive-share"), local(u"responsive-local");
  WriteBytes(share / u"tavLONG.exe", std::string(64 << 20, 'k'));
  form_->AppendLine(kMemo, u"copying");
  PostMessageW(ControlWindow(kButton), BM_CLICK, 0, 0);
  HWND memo = ControlWindow(kMemo);
  std::atomic<bool> refreshed = false;
  bool answered = false;
  std::u16string read;
  std::thread reader([&] {
    while (!refreshed && !HoldsAFreshCopy(local.path())) Sleep(1);
    if (refreshed) return;
    std::array<wchar_t, 64> buffer{};
    answered = SendFromElsewhere(memo, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    read = FromWide(buffer.data());
  });
  RecordingLog log;
  const RefreshCounts counts = CopyFilesWithPattern(share.path(), u"tav*.exe", local.path(), RefreshMode::All, log);
  refreshed = true;
  reader.join();
  EXPECT_EQ(counts.updated, 1);
  EXPECT_TRUE(answered);
  EXPECT_EQ(read, u"copying\r\n");
  EXPECT_TRUE(events_.clicks.empty());
  RunPosted();
  EXPECT_EQ(events_.clicks, std::vector<size_t>{kButton});
}

TEST_F(FormTest, AppendedLinesEndInCarriageReturnLineFeed) {
  for (const char16_t* line : {u"first", u"", u"third"}) form_->AppendLine(kMemo, line);
  EXPECT_EQ(form_->Text(kMemo), u"first\r\n\r\nthird\r\n");
}

TEST_F(FormTest, TextFieldsHoldMoreThanThirtyThousandCharacters) {
  const std::u16string line(999, u'x');
  std::u16string expected;
  for (int i = 0; i < 40; ++i) {
    form_->AppendLine(kMemo, line);
    expected += line + u"\r\n";
  }
  EXPECT_EQ(form_->Text(kMemo), expected);
  form_->SetText(kDisabledEdit, expected);
  EXPECT_EQ(form_->Text(kDisabledEdit), expected);
}

TEST_F(FormTest, TheNewestLineIsInView) {
  Show();
  HWND memo = ControlWindow(kMemo);
  for (int i = 0; i < 100; ++i) form_->AppendLine(kMemo, u"line " + FromUtf8(std::to_string(i)));
  EXPECT_GT(SendMessageW(memo, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  const LRESULT lastStart = SendMessageW(memo, EM_LINEINDEX, 99, 0);
  const LRESULT position = SendMessageW(memo, EM_POSFROMCHAR, lastStart, 0);
  RECT client;
  GetClientRect(memo, &client);
  const int top = static_cast<short>(HIWORD(position));
  EXPECT_GE(top, 0);
  EXPECT_LT(top, client.bottom);
}

TEST_F(FormTest, TheOuterWidthScalesWithDensityAndTheClientStaysInsideItsLimit) {
  const int dpi = static_cast<int>(platform::WindowDpi(window_));
  // A run in a prefix of another density names it, so that it cannot pass at the default one.
  if (const char* density = std::getenv("KESTRANE_TEST_DPI")) {
    ASSERT_EQ(dpi, std::atoi(density));
  }
  RECT before;
  GetWindowRect(window_, &before);
  form_->SetOuterWidth(230, 224);
  RECT outer, client;
  GetWindowRect(window_, &outer);
  GetClientRect(window_, &client);
  const int width = MulDiv(230, dpi, 96), limit = MulDiv(224, dpi, 96);
  EXPECT_LE(Width(client), limit) << dpi << " dpi";
  // As wide as both bounds allow: the given width unless the frame is too thin for the limit.
  EXPECT_LE(Width(outer), width);
  EXPECT_TRUE(Width(outer) == width || Width(client) == limit) << Width(outer) << " " << Width(client);
  EXPECT_EQ(outer.bottom - outer.top, before.bottom - before.top);
}

// A move to a monitor of another density and back: each control takes its rectangle and its font at
// the new density, and the fonts of the density left behind are freed.
TEST_F(FormTest, ADensityChangeRescalesTheControlsAndFreesTheFontsItReplaces) {
  Show();
  DWORD gdiObjectsAtFirstDensity = 0;
  LONG fontHeightAtFirstDensity = 0;
  HGDIOBJ replacedFont = nullptr;
  for (const UINT dpi : {96u, 144u, 96u}) {
    RECT suggested;
    GetWindowRect(window_, &suggested);
    suggested.right = suggested.left + MulDiv(kLayout.clientWidth + 16, dpi, 96);
    suggested.bottom = suggested.top + MulDiv(kLayout.clientHeight + 40, dpi, 96);
    SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));

    for (size_t i = 0; i < kControls.size(); ++i) {
      if (kControls[i].kind == ControlKind::Label) continue;
      RECT rect;
      GetWindowRect(ControlWindow(i), &rect);
      MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
      EXPECT_EQ(rect.left, MulDiv(kControls[i].left, dpi, 96)) << dpi << " dpi, control " << i;
      EXPECT_EQ(rect.top, MulDiv(kControls[i].top, dpi, 96)) << dpi << " dpi, control " << i;
      EXPECT_EQ(Width(rect), MulDiv(kControls[i].width, dpi, 96)) << dpi << " dpi, control " << i;
      EXPECT_EQ(rect.bottom - rect.top, MulDiv(kControls[i].height, dpi, 96)) << dpi << " dpi, control " << i;
    }
    // A replaced font whose handle still names a font was never freed. Windows also counts the
    // process's GDI objects (below); Wine counts none, so under Wine this handle is what tells.
    if (replacedFont) {
      EXPECT_EQ(GetObjectType(replacedFont), 0u) << "the font replaced at " << dpi << " dpi lives on";
    }
    replacedFont = reinterpret_cast<HGDIOBJ>(SendMessageW(ControlWindow(kEdit), WM_GETFONT, 0, 0));
    LOGFONTW font{};
    ASSERT_TRUE(GetObjectW(replacedFont, sizeof(font), &font));
    const DWORD gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (!fontHeightAtFirstDensity) {
      fontHeightAtFirstDensity = std::abs(font.lfHeight), gdiObjectsAtFirstDensity = gdiObjects;
    } else if (dpi == 144) {
      EXPECT_EQ(std::abs(font.lfHeight), MulDiv(fontHeightAtFirstDensity, 144, 96));
    } else {
      EXPECT_EQ(std::abs(font.lfHeight), fontHeightAtFirstDensity);
      if (gdiObjectsAtFirstDensity != 0) {  // a count the system keeps: Windows, never Wine
        EXPECT_EQ(gdiObjects, gdiObjectsAtFirstDensity) << "GDI objects left behind by the change and back";
      }
    }
  }
}

}  // namespace
