#pragma once

// What a program watching Kestrane from outside needs: the program's windows, and a control's text
// read as another process reads it.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace program_window {

// How long a read waits for the program's answer: a window that answers at all answers in far less.
inline constexpr UINT kReadTimeoutMs = 300;

// Text of a window of another process; false when its thread does not answer.
inline bool ReadText(HWND hwnd, std::u16string& text) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReadTimeoutMs, &length)) return false;
  std::u16string buffer(length + 1, u'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(Wide(buffer)), SMTO_ABORTIFHUNG,
                           kReadTimeoutMs, &copied))
    return false;
  buffer.resize(copied);
  text = buffer;
  return true;
}

// Every window of the program, by its class and caption.
inline std::vector<HWND> ProgramWindows() {
  std::vector<HWND> forms;
  for (HWND form = nullptr; (form = FindWindowExW(nullptr, form, L"TForm1", L"TavCopy"));) forms.push_back(form);
  return forms;
}

}  // namespace program_window
