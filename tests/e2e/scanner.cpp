// Stands for what opens every new file on a workstation for a moment (an on-access scanner, an
// indexer, a backup agent): each new file of FOLDER whose name matches PATTERN is opened, as soon as
// it can be, for HOLD_MS milliseconds, sharing reading and writing but not deletion (nor renaming),
// as such agents do: it gets in while the file is still written and flushed. Each name it held
// is added as a line to HELD_FILE. It creates READY_FILE once it watches, then runs until ended.
// Given READS, it holds only the first READS files, and while it holds each it reads the program
// window's log, as another process does: a copy cannot take its target's place while it is held, so
// each log so read is the log of a run still refreshing that file. The line then goes on with a
// tab, "answered" or "unanswered", a tab and the log, its lines ended by "|".
//
//   scanner READY_FILE FOLDER PATTERN HOLD_MS HELD_FILE [READS]
#include <windows.h>

#include <cwchar>
#include <set>
#include <string>

#include "app/layout.h"
#include "platform/win32/control_ids.h"
#include "platform/win32/unique_handle.h"
#include "tests/e2e/program_window.h"

namespace {

std::wstring ReadLog() {
  const std::vector<HWND> forms = program_window::ProgramWindows();
  std::u16string log;
  if (forms.empty() ||
      !program_window::ReadText(GetDlgItem(forms[0], platform::ControlId(layout::IndexOf(u"Memo1"))), log))
    return L"\tunanswered\t";
  std::wstring lines;
  for (size_t at = 0, end; (end = log.find(u"\r\n", at)) != std::u16string::npos; at = end + 2)
    lines += std::wstring(log.begin() + at, log.begin() + end) + L"|";
  return L"\tanswered\t" + lines;
}

void AppendLine(const wchar_t* path, const std::wstring& line) {
  const UniqueFile file(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr));
  const std::string bytes(line.begin(), line.end());
  DWORD written = 0;
  if (file) WriteFile(file.get(), (bytes + "\n").data(), static_cast<DWORD>(bytes.size() + 1), &written, nullptr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6 && argc != 7) return 2;
  const std::wstring folder = argv[2];
  const DWORD holdMs = static_cast<DWORD>(_wtoi(argv[4]));
  const bool reading = argc == 7;
  size_t reads = reading ? static_cast<size_t>(_wtoi(argv[6])) : 0;
  if (!UniqueFile(CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr))) return 4;
  std::set<std::wstring> held;
  for (;;) {
    WIN32_FIND_DATAW data;
    const UniqueFind search(FindFirstFileW((folder + L"\\" + argv[3]).c_str(), &data));
    bool found = static_cast<bool>(search);
    for (; found; found = FindNextFileW(search.get(), &data)) {
      if (held.contains(data.cFileName) || (reading && !reads)) continue;
      // Refused while the copy is still being written: asked again on the next look.
      const UniqueFile file(CreateFileW((folder + L"\\" + data.cFileName).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
      if (!file) continue;
      held.insert(data.cFileName);
      const std::wstring log = reads ? (--reads, ReadLog()) : L"";
      Sleep(holdMs);
      AppendLine(argv[5], data.cFileName + log);
    }
  }
}
