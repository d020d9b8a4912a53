#include "platform/files.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

uint64_t Combined(DWORD high, DWORD low) { return (uint64_t{high} << 32) | low; }

FileStamp StampOf(DWORD sizeHigh, DWORD sizeLow, const FILETIME& lastWrite) {
  return {Combined(sizeHigh, sizeLow), Combined(lastWrite.dwHighDateTime, lastWrite.dwLowDateTime)};
}

}  // namespace

FolderEntries EnumerateEntries(const std::u16string& searchPath) {
  WIN32_FIND_DATAW data;
  // The short names go unread, so the system need not make them; large fetches ask a file server
  // for many entries per round trip. Both are there from Windows 7.
  UniqueFind search(FindFirstFileExW(Wide(searchPath), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH));
  if (!search) {
    // A folder that delivers no entry at all, not even "." (the empty top folder of a drive), is
    // empty rather than unreadable; file servers say so with either code.
    const DWORD error = GetLastError();
    return {.entries = {}, .error = error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? 0 : error};
  }
  FolderEntries folder;
  do {
    folder.entries.push_back({FromWide(data.cFileName), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                              StampOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime)});
  } while (FindNextFileW(search.get(), &data));
  const DWORD error = GetLastError();
  folder.error = error == ERROR_NO_MORE_FILES ? 0 : error;
  return folder;
}

FullPath ExpandFullPath(const std::u16string& path) {
  std::u16string buffer(MAX_PATH, u'\0');
  for (;;) {
    SetLastError(0);
    const DWORD length = GetFullPathNameW(Wide(path), static_cast<DWORD>(buffer.size()), Wide(buffer), nullptr);
    const uint32_t lastError = GetLastError();
    if (length < buffer.size()) {
      buffer.resize(length);
      return {buffer, lastError};
    }
    buffer.resize(length);  // too small: length is the size needed, terminator included
  }
}

std::optional<FileStamp> ReadFileStamp(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return StampOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

uint32_t CopyOneFile(const std::u16string& source, const std::u16string& target, bool failIfExists) {
  return CopyFileW(Wide(source), Wide(target), failIfExists) ? 0 : GetLastError();
}

}  // namespace platform
