// The turn to update a folder, from the lock file in the folder itself: only one holder at a time,
// whatever spelling of the folder it asks with, nothing left behind, and nothing waited for that no
// run holds.
#include "update/folder_update_turn.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/text.h"
#include "platform/hold.h"
#include "platform/system_error.h"
#include "platform/win32/wide.h"
#include "tests/unit/error_outcome.h"
#include "tests/win/scratch.h"

namespace {

using platform::FolderUpdateLock;
using Answer = FolderUpdateLock::Answer;

std::u16string LockPath(const ScratchFolder& folder) {
  return folder / std::u16string(platform::kFolderUpdateLockName);
}

bool LockFileExists(const ScratchFolder& folder) {
  return GetFileAttributesW(Wide(LockPath(folder))) != INVALID_FILE_ATTRIBUTES;
}

TEST(FolderUpdateLock, OneHolderAtATimeWhateverTheSpellingAndNothingLeftBehind) {
  ScratchFolder folder(u"lock");
  ScratchFolder other(u"lock-other");
  SetCurrentDirectoryW(L"C:\\");
  for (const char16_t* spelling : {u"c:\\KESTRANE-LOCK", u"kestrane-lock\\..\\kestrane-lock", u"C:\\kestrane-lock"}) {
    SCOPED_TRACE(ToUtf8(spelling));
    FolderUpdateLock::Attempt held = FolderUpdateLock::TryAcquire(folder.path());
    ASSERT_EQ(held.answer, Answer::Locked);
    ASSERT_TRUE(held.lock);
    const FolderUpdateLock::Attempt second = FolderUpdateLock::TryAcquire(spelling);
    EXPECT_FALSE(second.lock);
    EXPECT_EQ(second.answer, Answer::Held);
    EXPECT_EQ(second.error, platform::kErrorSharingViolation);
    EXPECT_EQ(FolderUpdateLock::TryAcquire(other.path()).answer, Answer::Locked);  // another folder, another lock
    held.lock.reset();
    EXPECT_FALSE(LockFileExists(folder));
    EXPECT_EQ(FolderUpdateLock::TryAcquire(spelling).answer, Answer::Locked);
  }
}

// What a power loss or a backup leaves is no one's: taken, read-only or not, and gone afterwards. A
// folder under the name is no one's either, but no run can take it.
TEST(FolderUpdateLock, WhatNoRunHoldsIsNeverWaitedFor) {
  ScratchFolder folder(u"lock-stale");
  for (const DWORD attributes : {DWORD{FILE_ATTRIBUTE_NORMAL}, DWORD{FILE_ATTRIBUTE_READONLY},
                                 DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM}}) {
    SCOPED_TRACE(attributes);
    WriteBytes(LockPath(folder), "restored");
    ASSERT_TRUE(SetFileAttributesW(Wide(LockPath(folder)), attributes));
    FolderUpdateLock::Attempt attempt = FolderUpdateLock::TryAcquire(folder.path());
    EXPECT_EQ(attempt.answer, Answer::Locked);
    EXPECT_EQ(FolderUpdateLock::TryAcquire(folder.path()).answer, Answer::Held);
    attempt.lock.reset();
    EXPECT_FALSE(LockFileExists(folder));
  }
  ASSERT_TRUE(CreateDirectoryW(Wide(LockPath(folder)), nullptr));
  const FolderUpdateLock::Attempt attempt = FolderUpdateLock::TryAcquire(folder.path());
  EXPECT_EQ(attempt.answer, Answer::Folder);
  EXPECT_FALSE(attempt.lock);
  FolderUpdateTurn turn(folder.path());
  EXPECT_EQ(Outcome([&] { turn.Take(); }),
            "Exception: A folder named ~kst.lock in C:\\kestrane-lock-stale stands where an update keeps its lock: "
            "delete or rename that folder, and the next update will run");
  RemoveDirectoryW(Wide(LockPath(folder)));
}

// An access denial is told apart by how the folder lists the name: the listing is what still shows
// a delete-pending file on Windows, whose own attributes can no longer be read. (Wine deletes at
// once and never refuses so; the rule's table, hold_rules_test, holds that case.)
TEST(HoldOf, AnAccessDenialIsJudgedByTheFoldersListing) {
  ScratchFolder folder(u"hold");
  WriteBytes(folder / u"file", "");
  WriteBytes(folder / u"read-only", "");
  ASSERT_TRUE(SetFileAttributesW(Wide(folder / u"read-only"), FILE_ATTRIBUTE_READONLY));
  MakeFolders(folder / u"folder");
  using platform::Hold;
  const struct {
    const char16_t* name;
    uint32_t error;
    Hold hold;
  } cases[] = {
      {u"file", platform::kErrorAccessDenied, Hold::Held},
      {u"read-only", platform::kErrorAccessDenied, Hold::ReadOnly},
      {u"folder", platform::kErrorAccessDenied, Hold::Folder},
      {u"missing", platform::kErrorAccessDenied, Hold::NotHeld},
      {u"missing", platform::kErrorSharingViolation, Hold::Held},
      {u"file", platform::kErrorPathNotFound, Hold::NotHeld},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::HoldOf(c.error, folder / c.name), c.hold) << ToUtf8(c.name);
  SetFileAttributesW(Wide(folder / u"read-only"), FILE_ATTRIBUTE_NORMAL);
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

TEST(FolderUpdateTurn, AMissingFolderIsNoOnesToWaitForAndTheRecordSaysSo) {
  ScratchFolder parent(u"turn-missing");
  const FolderUpdateLock::Attempt attempt = FolderUpdateLock::TryAcquire(parent / u"missing");
  EXPECT_FALSE(attempt.lock);
  EXPECT_EQ(attempt.answer, Answer::WithoutLock);
  EXPECT_EQ(attempt.error, platform::kErrorPathNotFound);
  FolderUpdateTurn turn(parent / u"missing", std::chrono::milliseconds(0));
  const TurnAnswer answer = turn.Take();
  EXPECT_EQ(answer.kind, TurnAnswer::Kind::TakenWithoutLock);
  EXPECT_EQ(answer.withoutLock, u" The update ran without the folder's lock ~kst.lock: " +
                                    platform::SystemErrorText(platform::kErrorPathNotFound) + u".");
}

TEST(FolderUpdateTurn, WaitsWhileAnotherHoldsItAndGivesUpPastItsLimitSayingWhoHoldsIt) {
  ScratchFolder folder(u"turn");
  FolderUpdateLock::Attempt other = FolderUpdateLock::TryAcquire(folder.path());
  ASSERT_TRUE(other.lock);
  FolderUpdateTurn patient(folder.path());
  EXPECT_EQ(patient.Take().kind, TurnAnswer::Kind::Waiting);
  EXPECT_EQ(patient.Take().kind, TurnAnswer::Kind::Waiting);
  FolderUpdateTurn hasty(folder.path(), std::chrono::milliseconds(0));
  const std::string given = Outcome([&] { hasty.Take(); });
  EXPECT_TRUE(given.starts_with("Exception: Another update of the folder C:\\kestrane-turn is still running ("))
      << given;
  // Windows' Restart Manager names this very process; Wine's names none. Either way the record says.
  const std::string self = "process " + std::to_string(GetCurrentProcessId()) + ")";
  EXPECT_TRUE(given.ends_with(self) || given.ends_with("(the system names no process that holds ~kst.lock)")) << given;
  other.lock.reset();
  EXPECT_EQ(patient.Take().kind, TurnAnswer::Kind::Taken);
  EXPECT_TRUE(LockFileExists(folder));
  FolderUpdateTurn next(folder.path());
  EXPECT_EQ(next.Take().kind, TurnAnswer::Kind::Waiting);  // the turn is held for as long as its object lives
}

}  // namespace
