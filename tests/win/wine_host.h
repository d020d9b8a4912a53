#pragma once

// What the Windows tests need from the Unix side of Wine: making links and removing folder
// trees. Wine shows a Unix symbolic link to a folder as a reparse point and cannot make one
// itself (its CreateSymbolicLinkW creates nothing), so links are made with ln; trees go with
// rm -rf, which never follows a link out of the tree.

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/wide.h"

namespace wine_host {

// A function that only Wine's own modules export.
template <typename Function>
Function WineExport(const wchar_t* module, const char* name) {
  const FARPROC address = GetProcAddress(GetModuleHandleW(module), name);
  if (!address) throw std::runtime_error("not running under Wine");
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The Unix path of a Windows path; the last part need not exist.
inline std::string UnixPath(const std::u16string& windowsPath) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = WineExport<UnixName>(L"kernel32.dll", "wine_get_unix_file_name");
  char* name = unixName(Wide(windowsPath));
  if (!name) throw std::runtime_error("no Unix path for a Windows path");
  std::string path(name);
  HeapFree(GetProcessHeap(), 0, name);
  return path;
}

// Runs a Unix program to its end; true when it exited with 0.
inline bool RunUnix(std::vector<std::string> arguments) {
  using Spawn = LONG(WINAPI*)(char* const argv[], int wait);
  const auto spawn = WineExport<Spawn>(L"ntdll.dll", "__wine_unix_spawnvp");
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return spawn(argv.data(), 1) == 0;
}

inline void MakeLink(const std::u16string& link, const std::u16string& target) {
  ASSERT_TRUE(RunUnix({"/bin/ln", "-s", UnixPath(target), UnixPath(link)}));
}

inline void RemoveTree(const std::u16string& path) { EXPECT_TRUE(RunUnix({"/bin/rm", "-rf", UnixPath(path)})); }

}  // namespace wine_host
