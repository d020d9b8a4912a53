#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// The file in a folder whose holder is the one run updating that folder. Only whoever may write
// the folder can create or hold it, and the system lets go of it, and deletes it, when its holder
// ends, however it ends; one that a power loss leaves behind, or a backup brings back (read-only
// too), is taken over by the next run.
inline constexpr std::u16string_view kFolderUpdateLockName = u"~kst.lock";

// Held by the one run that updates a folder. Runs of one user in any session, at any elevation,
// meet at the same file: spellings of the folder that differ in case or are relative name it too.
class FolderUpdateLock {
 public:
  // What asking for the lock came to.
  enum class Answer {
    Locked,       // this run holds it
    Held,         // another run holds it, or has just let go of it: worth asking again
    Folder,       // a folder stands under the lock's name: no run can hold the lock until it goes
    WithoutLock,  // the folder cannot hold the lock (missing, not writable): the run goes on without it
  };
  struct Attempt {
    Answer answer = Answer::WithoutLock;
    std::unique_ptr<FolderUpdateLock> lock{};  // with Locked alone
    uint32_t error = 0;                        // the system's refusal, but for Locked
  };
  // Asks once, without waiting. Can wait on a slow or remote disk: not for the window's thread.
  static Attempt TryAcquire(const std::u16string& folder);
  // The lock file's path in folder.
  static std::u16string PathIn(const std::u16string& folder);
  // Letting go can wait on the disk as well.
  virtual ~FolderUpdateLock() = default;
};

}  // namespace platform
