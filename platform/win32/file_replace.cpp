#include "platform/file_replace.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

bool IsReadOnly(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// The attributes without read-only; a file must keep at least the "normal" one.
DWORD WithoutReadOnly(DWORD attributes) {
  const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
  return writable ? writable : FILE_ATTRIBUTE_NORMAL;
}

}  // namespace

uint32_t FlushToDisk(const std::u16string& file) {
  // Flushing takes a handle that may write, which a read-only file refuses.
  const DWORD attributes = GetFileAttributesW(Wide(file));
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
  if (IsReadOnly(attributes) && !SetFileAttributesW(Wide(file), WithoutReadOnly(attributes))) return GetLastError();
  uint32_t error = 0;
  {
    const UniqueFile handle(
        CreateFileW(Wide(file), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!handle || !FlushFileBuffers(handle.get())) error = GetLastError();
  }
  if (IsReadOnly(attributes) && !SetFileAttributesW(Wide(file), attributes) && !error) error = GetLastError();
  return error;
}

uint32_t RenameFile(const std::u16string& file, const std::u16string& to, bool replaceExisting) {
  // Write-through: the rename itself is on disk when the call returns.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replaceExisting ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(Wide(file), Wide(to), flags) ? 0 : GetLastError();
}

uint32_t RenameRefusal(const std::u16string& path) {
  // A rename opens the file for deletion, which whoever holds it without delete sharing refuses.
  const UniqueFile file(CreateFileW(Wide(path), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return file ? 0 : GetLastError();
}

bool IsReadOnlyFile(const std::u16string& path) { return IsReadOnly(GetFileAttributesW(Wide(path))); }

uint32_t SetReadOnly(const std::u16string& path, bool readOnly) {
  const DWORD attributes = GetFileAttributesW(Wide(path));
  if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
  const DWORD changed =
      readOnly ? (attributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_READONLY : WithoutReadOnly(attributes);
  return SetFileAttributesW(Wide(path), changed) ? 0 : GetLastError();
}

void DiscardFile(const std::u16string& path) {
  const DWORD error = GetLastError();
  // Opened without any sharing, the file is refused while anyone else has it open and is ours
  // alone once opened, until it is gone. A link goes itself, never what it points at.
  const UniqueFile file(CreateFileW(Wide(path), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (file) {
    FILE_BASIC_INFO basic;
    if (GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic) &&
        (basic.FileAttributes & FILE_ATTRIBUTE_READONLY)) {
      // A read-only file cannot be deleted; zero times are left as they are.
      FILE_BASIC_INFO change{};
      change.FileAttributes = WithoutReadOnly(basic.FileAttributes);
      SetFileInformationByHandle(file.get(), FileBasicInfo, &change, sizeof change);
    }
    FILE_DISPOSITION_INFO disposition{.DeleteFile = TRUE};
    SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition, sizeof disposition);
  }
  SetLastError(error);
}

}  // namespace platform
