#pragma once

#include <memory>
#include <string>

namespace platform {

// Held by the one run that updates a folder. A second run for the same folder, in any session of
// the machine, waits in Acquire until the first has let go or has ended, however it ended; while it
// waits, the calling thread's windows stay responsive (KeepResponsive). Folder names that differ
// only in case, or relative and full spellings of one folder, are the same folder.
class FolderUpdateLock {
 public:
  // Raises Exception with the system's message when the lock cannot be had at all.
  static std::unique_ptr<FolderUpdateLock> Acquire(const std::u16string& folder);
  virtual ~FolderUpdateLock() = default;
};

}  // namespace platform
