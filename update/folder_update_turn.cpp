#include "update/folder_update_turn.h"

#include "base/exception.h"
#include "platform/file_holders.h"
#include "platform/process_clock.h"
#include "platform/system_error.h"

namespace {

using platform::FolderUpdateLock;

std::u16string LockName() { return std::u16string(platform::kFolderUpdateLockName); }

// Who holds the lock, as far as the system can tell.
std::u16string HolderOf(const std::u16string& lockPath) {
  const platform::FileHolders holders = platform::ProcessesHolding(lockPath);
  if (holders.error) {
    return u"which process holds " + LockName() + u" cannot be told: " + platform::SystemErrorText(holders.error);
  }
  if (holders.processes.empty()) return u"the system names no process that holds " + LockName();
  std::u16string names;
  for (const std::u16string& process : holders.processes) names += (names.empty() ? u"" : u"; ") + process;
  return LockName() + u" is held by " + names;
}

}  // namespace

FolderUpdateTurn::FolderUpdateTurn(std::u16string folder, std::chrono::milliseconds mostWait)
    : folder_(std::move(folder)), mostWait_(mostWait) {}

TurnAnswer FolderUpdateTurn::Take() {
  const std::chrono::milliseconds now = platform::SteadyNow();
  if (!asked_) firstAsked_ = now;
  asked_ = true;
  FolderUpdateLock::Attempt attempt = FolderUpdateLock::TryAcquire(folder_);
  switch (attempt.answer) {
    case FolderUpdateLock::Answer::Locked:
      lock_ = std::move(attempt.lock);
      return {.kind = TurnAnswer::Kind::Taken};
    case FolderUpdateLock::Answer::WithoutLock:
      return {.kind = TurnAnswer::Kind::TakenWithoutLock,
              .withoutLock = u" The update ran without the folder's lock " + LockName() + u": " +
                             platform::SystemErrorText(attempt.error) + u"."};
    case FolderUpdateLock::Answer::Folder:
      throw Exception(u"A folder named " + LockName() + u" in " + folder_ +
                      u" stands where an update keeps its lock: delete or rename that folder, and the next "
                      u"update will run");
    case FolderUpdateLock::Answer::Held:
      break;
  }
  if (now - firstAsked_ >= mostWait_) {
    throw Exception(u"Another update of the folder " + folder_ + u" is still running (" +
                    HolderOf(FolderUpdateLock::PathIn(folder_)) + u")");
  }
  return {.kind = TurnAnswer::Kind::Waiting};
}
