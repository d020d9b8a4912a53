#pragma once

#include <string>
#include <vector>

// Only the folder itself is ever listed, never its sub-folders.
enum class TSearchOption { soTopDirectoryOnly };

class TDirectory {
 public:
  // The files of path whose names match pattern ("*.*" matches every name), each as path joined
  // with the name, in the platform's order. Folders are never listed. Raises for a refused
  // pattern or path, a missing folder, an unreadable pattern and a broken-off enumeration.
  static std::vector<std::u16string> GetFiles(const std::u16string& path, const std::u16string& pattern,
                                              TSearchOption option);
};
