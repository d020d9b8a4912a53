#include "update/full_path.h"

#include "base/exception.h"
#include "platform/files.h"
#include "platform/system_error.h"

std::u16string FullPathOf(const std::u16string& path) {
  platform::FullPath full = platform::ExpandFullPath(path);
  // The expansion leaves "file not found" behind for paths that do not exist yet.
  if (full.lastError != 0 && full.lastError != platform::kErrorFileNotFound) {
    throw ENotSupportedException(platform::SystemErrorText(full.lastError));
  }
  return std::move(full.path);
}
