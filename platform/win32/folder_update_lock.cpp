#include "platform/folder_update_lock.h"

#include <windows.h>

#include "platform/hold.h"
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

// No sharing: while one handle is open, every other open is refused, also one of another session or
// elevation. Delete-on-close: the system removes the file when its holder ends, even when killed.
// Hidden: it is no file of the user's.
UniqueFile OpenLockFile(const std::u16string& path) {
  return UniqueFile(CreateFileW(Wide(path), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

}  // namespace

std::u16string FolderUpdateLock::PathIn(const std::u16string& folder) {
  return folder + u"\\" + std::u16string(kFolderUpdateLockName);
}

FolderUpdateLock::Attempt FolderUpdateLock::TryAcquire(const std::u16string& folder) {
  const std::u16string path = PathIn(folder);
  bool madeWritable = false;
  for (;;) {
    if (UniqueFile file = OpenLockFile(path))
      return {.answer = Answer::Locked, .lock = std::make_unique<HeldFolderUpdateLock>(std::move(file))};
    const DWORD error = GetLastError();
    switch (HoldOf(error, path)) {
      case Hold::Held:
        return {.answer = Answer::Held, .error = error};
      case Hold::Folder:
        return {.answer = Answer::Folder, .error = error};
      case Hold::ReadOnly:
        // Nobody holds a lock file that refuses writing: no run makes it so. It is Kestrane's own
        // name in the user's own folder, left read-only (by a backup brought back, say): taken.
        if (!madeWritable && SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_HIDDEN)) {
          madeWritable = true;
          continue;
        }
        return {.answer = Answer::WithoutLock, .error = error};
      case Hold::NotHeld:
        return {.answer = Answer::WithoutLock, .error = error};
    }
  }
}

}  // namespace platform
