#include "update/full_path.h"

#include "base/exception.h"
#include "platform/files.h"
#include "platform/system_error.h"

namespace {
constexpr uint32_t kErrorFileNotFound = 2;  // left by the expansion for paths that do not exist yet
}

std::u16string FullPathOf(const std::u16string& path) {
  platform::FullPath full = platform::ExpandFullPath(path);
  if (full.lastError != 0 && full.lastError != kErrorFileNotFound) {
    throw ENotSupportedException(platform::SystemErrorText(full.lastError));
  }
  return std::move(full.path);
}
