#include "platform/existence.h"

#include <windows.h>

#include "platform/rules/existence_rules.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

static_assert(platform::kAttributeDirectory == FILE_ATTRIBUTE_DIRECTORY);
static_assert(platform::kAttributeReparsePoint == FILE_ATTRIBUTE_REPARSE_POINT);

namespace platform {
namespace {

AttributesAnswer ReadAttributes(const std::u16string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return {.read = false, .error = GetLastError()};
  return {.read = true, .attributes = attributes};
}

// Opens what a link points at and closes it again at once: only whether it opened matters.
OpenAnswer OpenTarget(const std::u16string& path, DWORD flags) {
  const UniqueFile file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr));
  if (!file) return {.opened = false, .error = GetLastError()};
  return {.opened = true};
}

SearchAnswer SearchEntry(const std::u16string& path) {
  WIN32_FIND_DATAW entry;
  const UniqueFind search(FindFirstFileW(Wide(path), &entry));
  if (!search) return {};
  return {.found = true, .attributes = entry.dwFileAttributes};
}

}  // namespace

bool DirectoryExists(const std::u16string& path) {
  return DirectoryVerdict(ReadAttributes(path), [&] { return OpenTarget(path, FILE_FLAG_BACKUP_SEMANTICS); });
}

bool FileExists(const std::u16string& path) {
  return FileVerdict(
      ReadAttributes(path), [&] { return OpenTarget(path, 0); }, [&] { return SearchEntry(path); });
}

}  // namespace platform
