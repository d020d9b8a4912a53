#include "platform/file_replace.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform {

uint32_t MoveReplacing(const std::u16string& file, const std::u16string& target) {
  // Windows refuses both a copy and a rename over a read-only file; Wine lets root do both, so the
  // refusal is made here for the same outcome everywhere.
  const DWORD attributes = GetFileAttributesW(Wide(target));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
  if (MoveFileExW(Wide(file), Wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  return GetLastError();
}

void DiscardFile(const std::u16string& path) {
  const DWORD error = GetLastError();
  SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(Wide(path));
  SetLastError(error);
}

}  // namespace platform
