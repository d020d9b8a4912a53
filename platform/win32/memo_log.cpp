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
constexpr UINT_PTR kWatchId = 1;

// The messages that need every line in place: those by which someone reads the log or moves
// through it (its text, its lines and positions, scrolling by bar, wheel or keys) and a new text. A
// paint is not one of them: it may come in the middle of another message's work (a paint started
// by a scroll), where the memo's text must not change.
bool NeedsEveryLine(UINT message) {
  return message == WM_GETTEXT || message == WM_GETTEXTLENGTH || message == WM_SETTEXT ||
         (message >= EM_GETSEL && message <= EM_GETIMESTATUS) || message == WM_VSCROLL || message == WM_HSCROLL ||
         message == WM_MOUSEWHEEL || message == WM_KEYDOWN || message == WM_LBUTTONDOWN || message == WM_NCLBUTTONDOWN;
}

}  // namespace

MemoLog::MemoLog(HWND memo) : memo_(memo), lastHandOver_(GetTickCount64()) {
  SetWindowSubclass(memo_, &WatchMemo, kWatchId, reinterpret_cast<DWORD_PTR>(this));
}

void MemoLog::AppendLine(const std::u16string& text) {
  // The first line to wait asks for a paint, at which the batch is handed over once it is due,
  // should the step go on for long without another line.
  if (waiting_.empty()) InvalidateRect(memo_, nullptr, FALSE);
  waiting_ += text;
  waiting_ += u"\r\n";
  if (!HandOverDue()) return;
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
  if (message == WM_PAINT && !self.waiting_.empty()) InvalidateRect(memo, nullptr, FALSE);
  return result;
}

}  // namespace platform
