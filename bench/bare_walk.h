#pragma once

// What the file benchmarks share: the files of a folder that match a pattern, walked bare with
// FindFirstFileW/FindNextFileW as the floors walk them, and a clock around the timed part.
#include <windows.h>

#include <string>

#include "platform/win32/unique_handle.h"

// Hands the find data of each file (not folder) of folder matching pattern to visit, in the
// platform's order, until visit answers false. False when visit stopped the walk.
template <typename Visit>
bool ForEachFileIn(const std::wstring& folder, const wchar_t* pattern, Visit&& visit) {
  WIN32_FIND_DATAW data;
  const UniqueFind search(FindFirstFileW((folder + L"\\" + pattern).c_str(), &data));
  if (!search) return true;
  do {
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (!visit(data)) return false;
  } while (FindNextFileW(search.get(), &data));
  return true;
}

// Milliseconds since it was made, by the performance counter.
class Stopwatch {
 public:
  Stopwatch() {
    QueryPerformanceFrequency(&frequency_);
    QueryPerformanceCounter(&start_);
  }
  double Milliseconds() const {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (now.QuadPart - start_.QuadPart) * 1000.0 / frequency_.QuadPart;
  }

 private:
  LARGE_INTEGER frequency_, start_;
};
