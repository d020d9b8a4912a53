#include "platform/file_replace.h"

#include <windows.h>

#include <cstdio>

#include "base/text.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// Where target's temporary twin goes: its own folder, so that the final step is a rename within
// one volume.
std::u16string FolderPartWithSeparator(const std::u16string& target) {
  const size_t separator = target.find_last_of(u"\\/");
  if (separator != std::u16string::npos) return target.substr(0, separator + 1);
  if (target.size() >= 2 && target[1] == u':') return target.substr(0, 2);
  return {};
}

std::u16string TemporaryName(const std::u16string& folder, uint32_t attempt) {
  char suffix[32];
  std::snprintf(suffix, sizeof(suffix), "~kst%08lx.tmp",
                static_cast<unsigned long>(GetTickCount64() * 2654435761u + GetCurrentProcessId() + attempt));
  return folder + FromAscii(suffix);
}

// Removes the temporary copy, also when it carries the source's read-only attribute, keeping the
// error code of the step that failed.
void Discard(const std::u16string& temporary) {
  const DWORD error = GetLastError();
  SetFileAttributesW(Wide(temporary), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(Wide(temporary));
  SetLastError(error);
}

}  // namespace

uint32_t ReplaceWithCopy(const std::u16string& source, const std::u16string& target) {
  // The platform's own copy refuses a read-only target, and so does a rename on Windows; Wine
  // lets root do both, so the refusal is made here for the same outcome everywhere.
  const DWORD attributes = GetFileAttributesW(Wide(target));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
  const std::u16string folder = FolderPartWithSeparator(target);
  for (uint32_t attempt = 0;; ++attempt) {
    const std::u16string temporary = TemporaryName(folder, attempt);
    if (!CopyFileW(Wide(source), Wide(temporary), TRUE)) {
      const DWORD error = GetLastError();
      if ((error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) && attempt < 100) continue;
      // A copy that stopped midway may have left part of the file behind.
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) Discard(temporary);
      return error;
    }
    if (!MoveFileExW(Wide(temporary), Wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const DWORD error = GetLastError();
      Discard(temporary);
      return error;
    }
    return 0;
  }
}

}  // namespace platform
