#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct FullPath {
  std::u16string path;     // empty when the expansion returned nothing
  uint32_t lastError = 0;  // the last error after the expansion, cleared to 0 before it
};

// GetFullPathNameW on path.
FullPath ExpandFullPath(const std::u16string& path);

struct DirectoryEntry {
  std::u16string name;  // the long name
  bool isDirectory = false;
};

// What a search of a folder delivered: every entry, in the platform's order, and how it ended.
struct FolderEntries {
  std::vector<DirectoryEntry> entries;
  // 0 when the entries ran out, also when there was none at all (the empty top folder of a
  // drive); else the code the search failed with, at its start or midway (the entries up to
  // there are kept).
  uint32_t error = 0;
};

// FindFirstFileW/FindNextFileW on searchPath (a folder joined with a wildcard). While the folder is
// read, however long its server takes, the calling thread's windows stay responsive (KeepResponsive).
FolderEntries EnumerateEntries(const std::u16string& searchPath);

// CopyFileW(source, target, failIfExists): 0 on success, else the last error right after it. While a
// long file is copied, the thread's windows stay responsive (KeepResponsive).
uint32_t CopyOneFile(const std::u16string& source, const std::u16string& target, bool failIfExists);

}  // namespace platform
