#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct FullPath {
  std::u16string path;     // empty when the expansion returned nothing
  uint32_t lastError = 0;  // the last error after the expansion, cleared to 0 before it
};

// GetFullPathNameW on path.
FullPath ExpandFullPath(const std::u16string& path);

// What tells a copy from its source without opening either: the copy keeps its source's
// last-write time.
struct FileStamp {
  uint64_t size = 0;
  uint64_t lastWriteTime = 0;  // in 100-nanosecond ticks since 1601, as FILETIME counts
  bool operator==(const FileStamp&) const = default;
};

struct DirectoryEntry {
  std::u16string name;  // the long name
  bool isDirectory = false;
  FileStamp stamp;  // as the search delivered it, without opening the file
};

// What a search of a folder delivered: every entry, in the platform's order, and how it ended.
struct FolderEntries {
  std::vector<DirectoryEntry> entries;
  // 0 when the entries ran out, also when there was none at all (the empty top folder of a
  // drive); else the code the search failed with, at its start or midway (the entries up to
  // there are kept).
  uint32_t error = 0;
};

// FindFirstFileExW/FindNextFileW on searchPath (a folder joined with a wildcard), long names only.
FolderEntries EnumerateEntries(const std::u16string& searchPath);

// GetFileAttributesExW on path: the stamp of the file there, or nothing when there is no file (a
// folder, a missing path, attributes that cannot be read).
std::optional<FileStamp> ReadFileStamp(const std::u16string& path);

// CopyFileW(source, target, failIfExists): 0 on success, else the last error right after it.
uint32_t CopyOneFile(const std::u16string& source, const std::u16string& target, bool failIfExists);

}  // namespace platform
