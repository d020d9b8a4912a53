#include "platform/system_libraries.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/exception.h"
#include "platform/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// One name for each import library that platform/CMakeLists.txt makes from a .def file there: a
// library delay-loaded but not loaded here would be looked for beside the program first.
constexpr const wchar_t* kSystemLibraries[] = {KESTRANE_SYSTEM_LIBRARIES};

std::wstring SystemFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  for (;;) {
    const UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length == 0) throw Exception(u"The system folder: " + SystemErrorText(GetLastError()));
    if (length < folder.size()) return folder.substr(0, length);
    folder.resize(length);
  }
}

std::vector<UniqueModule> LoadEach() {
  const std::wstring folder = SystemFolder();
  std::vector<UniqueModule> loaded;
  for (const wchar_t* name : kSystemLibraries) {
    const std::wstring path = folder + L'\\' + name;
    // A full path with the altered search order: the library's own dependencies are then looked
    // for in its folder, the system's, and never in the program's. Unlike the
    // LOAD_LIBRARY_SEARCH_SYSTEM32 flag this needs no update on Windows 7 SP1 (KB2533623), so no
    // Windows takes a path that ends in the program's folder.
    UniqueModule library(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!library) throw Exception(FromWide(path.c_str()) + u": " + SystemErrorText(GetLastError()));
    loaded.push_back(std::move(library));
  }
  return loaded;
}

}  // namespace

void LoadSystemLibraries() {
  // Held until the process ends, as the functions bound to them are.
  static const std::vector<UniqueModule> loaded = LoadEach();
}

}  // namespace platform
