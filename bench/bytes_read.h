#pragma once

// The bytes this process has read so far through the system's read calls, as Linux counts them
// (rchar of /proc/self/io, which Wine shows on drive Z:); -1 elsewhere. Under Wine a program's
// file reads are its own process's system calls, so the figure covers every file it read; what
// Wine's server sends it adds a few bytes per request.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/win32/unique_handle.h"

inline long long BytesReadSoFar() {
  const UniqueFile io(
      CreateFileW(L"Z:\\proc\\self\\io", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!io) return -1;
  char text[512] = {};
  DWORD got = 0;
  if (!ReadFile(io.get(), text, sizeof text - 1, &got, nullptr)) return -1;
  const char* rchar = std::strstr(text, "rchar:");
  return rchar ? std::strtoll(rchar + 6, nullptr, 10) : -1;
}
