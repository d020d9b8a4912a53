#include "update/folder_update_turn.h"

#include "base/exception.h"
#include "platform/process_clock.h"

FolderUpdateTurn::FolderUpdateTurn(std::u16string folder, std::chrono::milliseconds mostWait)
    : folder_(std::move(folder)), mostWait_(mostWait) {}

bool FolderUpdateTurn::Take() {
  const std::chrono::milliseconds now = platform::SteadyNow();
  if (!asked_) firstAsked_ = now;
  asked_ = true;
  platform::FolderUpdateLock::Attempt attempt = platform::FolderUpdateLock::TryAcquire(folder_);
  if (!attempt.heldElsewhere) {
    lock_ = std::move(attempt.lock);
    return true;
  }
  if (now - firstAsked_ >= mostWait_)
    throw Exception(u"Another update of the folder " + folder_ + u" is still running");
  return false;
}
