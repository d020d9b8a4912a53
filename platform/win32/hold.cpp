#include "platform/hold.h"

#include <windows.h>

#include "platform/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

ListedAs Listing(const std::u16string& path) {
  WIN32_FIND_DATAW found;
  const UniqueFind find(FindFirstFileW(Wide(path), &found));
  if (!find) return ListedAs::Nothing;
  if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return ListedAs::Folder;
  return found.dwFileAttributes & FILE_ATTRIBUTE_READONLY ? ListedAs::ReadOnlyFile : ListedAs::File;
}

}  // namespace

Hold HoldOf(uint32_t error, const std::u16string& path) {
  // Only an access denial needs the listing to tell its kinds apart.
  return platform::HoldOf(error, error == kErrorAccessDenied ? Listing(path) : ListedAs::Nothing);
}

}  // namespace platform
