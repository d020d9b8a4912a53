#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/folder_update_lock.h"

// How long a run waits for its turn while another run holds the folder: ten minutes, longer than a
// whole suite takes over a slow branch-office link, short enough that a run stuck behind a hung one
// is reported within the same sign-in.
inline constexpr std::chrono::milliseconds kMostTurnWait = std::chrono::minutes(10);

// What asking for the turn came to.
struct TurnAnswer {
  enum class Kind {
    Taken,             // this run holds the folder's lock
    TakenWithoutLock,  // the folder cannot hold the lock: the run goes on, and its record says why
    Waiting,           // another run holds the folder: ask again
  };
  Kind kind = Kind::Waiting;
  std::u16string withoutLock{};  // with TakenWithoutLock: the sentence the run's record adds
};

// A run's turn to update its folder, taken from the folder's update lock; two runs for one folder
// take turns, whatever session and elevation they run in.
class FolderUpdateTurn {
 public:
  explicit FolderUpdateTurn(std::u16string folder, std::chrono::milliseconds mostWait = kMostTurnWait);

  // Asks for the turn once, without waiting; once taken it is this run's for as long as this object
  // lives. A folder that cannot hold the lock (missing, not writable) is nobody's to update: the turn
  // is taken without it, and each file then reports why it cannot be written. Raises Exception,
  // saying how to clear it, when a folder stands under the lock's name; and, naming the process that
  // holds the lock where the system can tell, once another run has held it for longer than mostWait.
  // Can wait on a slow or remote disk, and so can the object's end: not for the window's thread.
  TurnAnswer Take();

 private:
  std::u16string folder_;
  std::chrono::milliseconds mostWait_;
  std::chrono::milliseconds firstAsked_{};
  bool asked_ = false;
  std::unique_ptr<platform::FolderUpdateLock> lock_;
};
