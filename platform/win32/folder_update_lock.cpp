#include "platform/folder_update_lock.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

class HeldFolderUpdateLock final : public FolderUpdateLock {
 public:
  explicit HeldFolderUpdateLock(UniqueFile file) : file_(std::move(file)) {}

 private:
  UniqueFile file_;  // closing it deletes the file
};

}  // namespace

FolderUpdateLock::Attempt FolderUpdateLock::TryAcquire(const std::u16string& folder) {
  const std::u16string path = folder + u"\\" + std::u16string(kFolderUpdateLockName);
  // No sharing: while one handle is open, every other open is refused, also one of another session
  // or elevation. Delete-on-close: the system removes the file when its holder ends, even when
  // killed. Hidden: it is no file of the user's.
  UniqueFile file(CreateFileW(Wide(path), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  if (file) return {.lock = std::make_unique<HeldFolderUpdateLock>(std::move(file))};
  const DWORD error = GetLastError();
  // Held open by another run; or just let go of by one, its file still waiting to be deleted, which
  // is refused as access denied for a moment.
  const bool heldElsewhere =
      error == ERROR_SHARING_VIOLATION ||
      (error == ERROR_ACCESS_DENIED && GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES);
  return {.lock = nullptr, .heldElsewhere = heldElsewhere, .error = error};
}

}  // namespace platform
