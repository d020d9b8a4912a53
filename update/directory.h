#pragma once

#include <string>
#include <vector>

#include "platform/files.h"

// Only the folder itself is ever listed, never its sub-folders.
enum class TSearchOption { soTopDirectoryOnly };

// A listed path with the size and last-write time its folder's listing gave for it.
struct ListedFile {
  std::u16string path;
  platform::FileStamp stamp;
};

class TDirectory {
 public:
  // The files of path whose names match pattern ("*.*" matches every name), each as path joined
  // with the name, in the platform's order. Folders are never listed. Raises for a refused
  // pattern or path, a missing folder, an unreadable pattern and a broken-off enumeration.
  static std::vector<std::u16string> GetFiles(const std::u16string& path, const std::u16string& pattern,
                                              TSearchOption option);
  // GetFiles, each path with its stamp: the same checks, errors and order, and no file opened.
  static std::vector<ListedFile> ListFiles(const std::u16string& path, const std::u16string& pattern,
                                           TSearchOption option);
};
