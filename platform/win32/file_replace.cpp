#include "platform/file_replace.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

uint32_t Move(const std::u16string& file, const std::u16string& target, DWORD flags) {
  // Write-through: the rename itself is on disk when the call returns.
  if (MoveFileExW(Wide(file), Wide(target), flags | MOVEFILE_WRITE_THROUGH)) return 0;
  return GetLastError();
}

bool IsReadOnly(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

// The attributes without read-only; a file must keep at least the "normal" one.
DWORD WithoutReadOnly(DWORD attributes) {
  const DWORD writable = attributes & ~FILE_ATTRIBUTE_READONLY;
  return writable ? writable : FILE_ATTRIBUTE_NORMAL;
}

// How Windows refuses to replace a file that a running program or an open handle holds.
bool IsInUse(uint32_t error) { return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION; }

// A target in use may still be renamed: it makes way under aside, and comes back when file cannot
// take its place after all.
uint32_t ReplaceInUse(const std::u16string& file, const std::u16string& target, const std::u16string& aside) {
  if (const uint32_t error = Move(target, aside, 0)) return error;
  if (const uint32_t error = Move(file, target, 0)) {
    Move(aside, target, 0);
    return error;
  }
  DiscardFile(aside);
  return 0;
}

uint32_t Replace(const std::u16string& file, const std::u16string& target, const std::u16string& aside) {
  const uint32_t error = Move(file, target, MOVEFILE_REPLACE_EXISTING);
  if (!IsInUse(error) || GetFileAttributesW(Wide(target)) == INVALID_FILE_ATTRIBUTES) return error;
  return ReplaceInUse(file, target, aside) ? error : 0;
}

}  // namespace

uint32_t FlushToDisk(const std::u16string& file) {
  // Flushing takes a handle that may write, which a read-only file refuses: the copy of a
  // read-only source loses the attribute for as long as the flush takes.
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

uint32_t MoveReplacing(const std::u16string& file, const std::u16string& target, const std::u16string& aside) {
  const DWORD attributes = GetFileAttributesW(Wide(target));
  if (!IsReadOnly(attributes)) return Replace(file, target, aside);
  // Windows refuses both a copy and a rename over a read-only file; Wine lets root do both, so the
  // refusal is made here for the same outcome everywhere. The file carries its source's attribute:
  // a target read-only like it got the attribute from there and is replaced; one made read-only
  // over a writable source is kept, as whoever did so meant it to be.
  if (!IsReadOnly(GetFileAttributesW(Wide(file)))) return ERROR_ACCESS_DENIED;
  // The rename needs the attribute gone; it comes back when the rename fails, so a target that
  // stays is left exactly as it was.
  if (!SetFileAttributesW(Wide(target), WithoutReadOnly(attributes))) return GetLastError();
  const uint32_t error = Replace(file, target, aside);
  if (error) SetFileAttributesW(Wide(target), attributes);
  return error;
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
