#include "platform/win32/memo_log.h"

#include <commctrl.h>

#include <utility>

#include "platform/answering.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// Lines show a few times a second, which still reads as following the run line by line, while a
// run of a thousand small files hands over a few dozen batches rather than a thousand lines.
constexpr ULONGLONG kHandOverIntervalMs = 250;
// A batch is handed over at a paint, which comes while the step waits for its work on another
// thread, so that the two overlap; a step that logs without ever waiting hands it over itself once
// it has gone this long without one.
constexpr ULONGLONG kUnpaintedHandOverMs = 2 * kHandOverIntervalMs;
constexpr UINT_PTR kWatchId = 1;

// The messages that need every line in place: those by which someone reads the log or moves
// through it (its text, its lines and positions, scrolling by bar, wheel or keys) and a new text.
// Paints take the lines only once they are due.
bool NeedsEveryLine(UINT message) {
  return message == WM_GETTEXT || message == WM_GETTEXTLENGTH || message == WM_SETTEXT ||
         (message >= EM_GETSEL && message <= EM_GETIMESTATUS) || message == WM_VSCROLL || message == WM_HSCROLL ||
         message == WM_MOUSEWHEEL || message == WM_KEYDOWN || message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN;
}

// One pixel: enough for a paint to come, little to draw while nothing has changed.
void AskForPaint(HWND memo) {
  const RECT pixel{0, 0, 1, 1};
  InvalidateRect(memo, &pixel, FALSE);
}

}  // namespace

MemoLog::MemoLog(HWND memo) : memo_(memo), lastHandOver_(GetTickCount64()) {
  SetWindowSubclass(memo_, &WatchMemo, kWatchId, reinterpret_cast<DWORD_PTR>(this));
}

void MemoLog::AppendLine(const std::u16string& text) {
  // The first line to wait asks for a paint, at which the batch is handed over once it is due.
  if (waiting_.empty()) AskForPaint(memo_);
  waiting_ += text;
  waiting_ += u"\r\n";
  if (GetTickCount64() - lastHandOver_ < kUnpaintedHandOverMs) return;
  HandOver();
  // The batch shows, and a reader of the log gets an answer, while the step that wrote it runs on.
  KeepResponsive();
}

void MemoLog::Show() {
  HandOver();
  UpdateWindow(memo_);
}

bool MemoLog::HandOverDue() const { return GetTickCount64() - lastHandOver_ >= kHandOverIntervalMs; }

void MemoLog::HandOver() {
  if (waiting_.empty()) return;
  lastHandOver_ = GetTickCount64();
  // Emptied first: the memo's answers to the messages below find nothing waiting.
  const std::u16string batch = std::exchange(waiting_, {});
  const LRESULT end = GetWindowTextLengthW(memo_);
  SendMessageW(memo_, EM_SETSEL, end, end);
  SendMessageW(memo_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Wide(batch)));
  SendMessageW(memo_, EM_SCROLLCARET, 0, 0);
}

LRESULT CALLBACK MemoLog::WatchMemo(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) noexcept {
  MemoLog& self = *reinterpret_cast<MemoLog*>(data);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(memo, &WatchMemo, kWatchId);
    return DefSubclassProc(memo, message, wParam, lParam);
  }
  if (NeedsEveryLine(message) || (message == WM_PAINT && self.HandOverDue())) self.HandOver();
  const LRESULT result = DefSubclassProc(memo, message, wParam, lParam);
  // Painted without the lines that are not due yet: the memo asks again, for when they are.
  if (message == WM_PAINT && !self.waiting_.empty()) AskForPaint(memo);
  return result;
}

}  // namespace platform
