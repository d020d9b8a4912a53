#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The file in a folder whose holder is the one run updating that folder. Only whoever may write
// the folder can create or hold it, and the system lets go of it, and deletes it, when its holder
// ends, however it ends; one that a power loss leaves behind is taken over by the next run.
inline constexpr std::u16string_view kFolderUpdateLockName = u"~kst.lock";

// Held by the one run that updates a folder. Runs of one user in any session, at any elevation,
// meet at the same file: spellings of the folder that differ in case or are relative name it too.
class FolderUpdateLock {
 public:
  struct Attempt {
    std::unique_ptr<FolderUpdateLock> lock;  // null when not taken
    bool heldElsewhere = false;              // another run holds it: worth asking again
    uint32_t error = 0;                      // the system's code when not taken
  };
  // Asks once, without waiting.
  static Attempt TryAcquire(const std::u16string& folder);
  virtual ~FolderUpdateLock() = default;
};

}  // namespace platform
