// The turn to update a folder, from the lock file in the folder itself: only one holder at a time,
// whatever spelling of the folder it asks with, and nothing left behind.
#include "update/folder_update_turn.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/text.h"
#include "platform/system_error.h"
#include "platform/win32/wide.h"
#include "tests/unit/error_outcome.h"
#include "tests/win/scratch.h"

namespace {

using platform::FolderUpdateLock;

bool LockFileExists(const ScratchFolder& folder) {
  return GetFileAttributesW(Wide(folder / std::u16string(platform::kFolderUpdateLockName))) != INVALID_FILE_ATTRIBUTES;
}

TEST(FolderUpdateLock, OneHolderAtATimeWhateverTheSpellingAndNothingLeftBehind) {
  ScratchFolder folder(u"lock");
  ScratchFolder other(u"lock-other");
  SetCurrentDirectoryW(L"C:\\");
  for (const char16_t* spelling : {u"c:\\KESTRANE-LOCK", u"kestrane-lock\\..\\kestrane-lock", u"C:\\kestrane-lock"}) {
    SCOPED_TRACE(ToUtf8(spelling));
    FolderUpdateLock::Attempt held = FolderUpdateLock::TryAcquire(folder.path());
    ASSERT_TRUE(held.lock);
    const FolderUpdateLock::Attempt second = FolderUpdateLock::TryAcquire(spelling);
    EXPECT_FALSE(second.lock);
    EXPECT_TRUE(second.heldElsewhere);
    EXPECT_TRUE(FolderUpdateLock::TryAcquire(other.path()).lock);  // another folder, another lock
    held.lock.reset();
    EXPECT_FALSE(LockFileExists(folder));
    EXPECT_TRUE(FolderUpdateLock::TryAcquire(spelling).lock);
  }
  // One a power loss left behind is no one's.
  WriteBytes(folder / std::u16string(platform::kFolderUpdateLockName), "");
  EXPECT_TRUE(FolderUpdateLock::TryAcquire(folder.path()).lock);
  EXPECT_FALSE(LockFileExists(folder));
}

// Hidden, as a file of the program's own among the user's: Explorer shows it only to whoever asks
// for hidden files.
TEST(FolderUpdateLock, TheLockFileIsHidden) {
  ScratchFolder folder(u"lock-hidden");
  const FolderUpdateLock::Attempt held = FolderUpdateLock::TryAcquire(folder.path());
  ASSERT_TRUE(held.lock);
  const DWORD attributes = GetFileAttributesW(Wide(folder / std::u16string(platform::kFolderUpdateLockName)));
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << attributes;
}

TEST(FolderUpdateTurn, AMissingFolderIsNoOnesToWaitFor) {
  ScratchFolder parent(u"turn-missing");
  const FolderUpdateLock::Attempt attempt = FolderUpdateLock::TryAcquire(parent / u"missing");
  EXPECT_FALSE(attempt.lock);
  EXPECT_FALSE(attempt.heldElsewhere);
  EXPECT_EQ(attempt.error, platform::kErrorPathNotFound);
  FolderUpdateTurn turn(parent / u"missing", std::chrono::milliseconds(0));
  EXPECT_TRUE(turn.Take());
}

TEST(FolderUpdateTurn, WaitsWhileAnotherHoldsItAndGivesUpPastItsLimit) {
  ScratchFolder folder(u"turn");
  FolderUpdateLock::Attempt other = FolderUpdateLock::TryAcquire(folder.path());
  ASSERT_TRUE(other.lock);
  FolderUpdateTurn patient(folder.path());
  EXPECT_FALSE(patient.Take());
  EXPECT_FALSE(patient.Take());
  FolderUpdateTurn hasty(folder.path(), std::chrono::milliseconds(0));
  EXPECT_EQ(Outcome([&] { hasty.Take(); }),
            "Exception: Another update of the folder C:\\kestrane-turn is still running");
  other.lock.reset();
  EXPECT_TRUE(patient.Take());
  EXPECT_TRUE(LockFileExists(folder));
  FolderUpdateTurn next(folder.path());
  EXPECT_FALSE(next.Take());  // the turn is held for as long as its object lives
}

}  // namespace
