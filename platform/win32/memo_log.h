#pragma once

#include <windows.h>

#include <string>

namespace platform {

// The lines appended to a read-only memo, handed to it in batches. Under Wine each hand-over costs
// a memo with a scroll bar about as much as a short file's copy (the bar is redrawn there and then),
// whatever it holds, so a run of small files does it a few times a second rather than once a line. No line waits where
// anyone could miss it: whoever reads the memo's text or lines or scrolls it finds every line appended before in place,
// in order; a line left waiting asks for a paint, which a long step's wait delivers, and is handed over at the first
// one that finds it due.
class MemoLog {
 public:
  // Watches memo's messages until it is destroyed; this object must outlive it.
  explicit MemoLog(HWND memo);
  MemoLog(const MemoLog&) = delete;
  MemoLog& operator=(const MemoLog&) = delete;

  // Adds text and a line break at the end; the memo shows it with the next batch, the newest line
  // in view. A step that logs for long without waiting lets the thread's windows answer at each
  // batch it hands over itself (KeepResponsive).
  void AppendLine(const std::u16string& text);
  // Every line appended is in the memo and drawn.
  void Show();

 private:
  static LRESULT CALLBACK WatchMemo(HWND memo, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR self) noexcept;
  bool HandOverDue() const;
  void HandOver();

  HWND memo_;
  std::u16string waiting_;  // the lines not yet handed over, each ending in CR LF
  ULONGLONG lastHandOver_;
};

}  // namespace platform
