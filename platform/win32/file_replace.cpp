#include "platform/file_replace.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

uint32_t Move(const std::u16string& file, const std::u16string& target) {
  if (MoveFileExW(Wide(file), Wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
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

}  // namespace

uint32_t MoveReplacing(const std::u16string& file, const std::u16string& target) {
  const DWORD attributes = GetFileAttributesW(Wide(target));
  if (!IsReadOnly(attributes)) return Move(file, target);
  // Windows refuses both a copy and a rename over a read-only file; Wine lets root do both, so the
  // refusal is made here for the same outcome everywhere. The file carries its source's attribute:
  // a target read-only like it got the attribute from there and is replaced; one made read-only
  // over a writable source is kept, as whoever did so meant it to be.
  if (!IsReadOnly(GetFileAttributesW(Wide(file)))) return ERROR_ACCESS_DENIED;
  // The rename needs the attribute gone; it comes back when the rename fails, so a target that
  // stays is left exactly as it was.
  if (!SetFileAttributesW(Wide(target), WithoutReadOnly(attributes))) return GetLastError();
  const uint32_t error = Move(file, target);
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
