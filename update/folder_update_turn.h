#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/folder_update_lock.h"

// Ten minutes: longer than a whole suite takes over a slow branch-office link, short enough that a
// run stuck behind a hung one is reported within the same sign-in.
inline constexpr std::chrono::milliseconds kMostTurnWait = std::chrono::minutes(10);

// A run's turn to update its folder, taken from the folder's update lock; two runs for one folder
// take turns, whatever session and elevation they run in.
class FolderUpdateTurn {
 public:
  explicit FolderUpdateTurn(std::u16string folder, std::chrono::milliseconds mostWait = kMostTurnWait);

  // Asks for the turn once, without waiting: true once it is this run's, for as long as this object
  // lives. A folder that cannot hold the lock (missing, not writable) is nobody's to update: the
  // turn is taken without it, and each file then reports why it cannot be written. False while
  // another run holds the lock. Raises Exception, naming the folder, once another run has held it
  // for longer than mostWait.
  bool Take();

 private:
  std::u16string folder_;
  std::chrono::milliseconds mostWait_;
  std::chrono::milliseconds firstAsked_{};
  bool asked_ = false;
  std::unique_ptr<platform::FolderUpdateLock> lock_;
};
