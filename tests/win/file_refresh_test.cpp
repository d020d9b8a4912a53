// The copy run over real folders: one line per listed file, the banner, the files on disk; and
// the replacement that never leaves the user's working file half-written.
#include "update/file_refresh.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/exception.h"
#include "base/text.h"
#include "platform/system_error.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "tests/unit/error_outcome.h"
#include "tests/win/recording_log.h"
#include "tests/win/scratch.h"
#include "tests/win/wine_host.h"
#include "update/replacing_copy.h"
#include "update/temporary_name.h"

namespace {

const std::vector<std::u16string> kBanner = {u"", u"----------", u"UPDATE COMPLETED.!", u"----------"};

std::string ReadBytes(const std::u16string& path) {
  std::ifstream file(std::filesystem::path(Wide(path)), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::vector<std::u16string> Names(const std::u16string& folder) {
  std::vector<std::u16string> names;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(Wide(folder)))) {
    const std::wstring name = entry.path().filename().wstring();
    names.emplace_back(name.begin(), name.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// The file lines of a run, which come in the platform's order, sorted for comparison; the banner
// must close the log.
std::vector<std::u16string> FileLines(const std::vector<std::u16string>& log) {
  EXPECT_GE(log.size(), kBanner.size());
  if (log.size() < kBanner.size()) return {};
  EXPECT_EQ(std::vector<std::u16string>(log.end() - kBanner.size(), log.end()), kBanner);
  std::vector<std::u16string> lines(log.begin(), log.end() - kBanner.size());
  std::sort(lines.begin(), lines.end());
  return lines;
}

uint64_t LastWriteTime(const std::u16string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  EXPECT_TRUE(GetFileAttributesExW(Wide(path), GetFileExInfoStandard, &data)) << ToUtf8(path);
  return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void SetLastWriteTime(const std::u16string& path, uint64_t ticks) {
  const UniqueFile file(CreateFileW(Wide(path), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file) << ToUtf8(path);
  const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &time));
}

constexpr uint64_t kTwoSeconds = 20'000'000;

class FileRefresh : public testing::Test {
 protected:
  void SetUp() override { MakeFolders(destination.path()); }

  std::vector<std::u16string> Run(const std::u16string& pattern, RefreshMode mode = RefreshMode::All) {
    RecordingLog log;
    counts = CopyFilesWithPattern(share.path(), pattern, destination.path(), mode, log);
    return log.lines;
  }

  RefreshCounts counts;

  ScratchFolder share{u"refresh-share"};
  ScratchFolder destination{u"refresh-destination"};
};

TEST_F(FileRefresh, CopiesMatchingFilesAndLogsOneLineEach) {
  WriteBytes(share / u"a.exe", "new a");
  WriteBytes(share / u"B.EXE", std::string(200000, 'b'));
  WriteBytes(share / u"c.exe.bak", "backup");
  MakeFolders(share / u"d.exe");
  WriteBytes(destination / u"a.exe", "old a, longer than the new one");

  const std::vector<std::u16string> log = Run(u"*.exe");
  EXPECT_EQ(log.size(), 2u + 4u);
  EXPECT_EQ(FileLines(log),
            (std::vector<std::u16string>{u"B.EXE Updated Successfully.", u"a.exe Updated Successfully."}));
  EXPECT_EQ(ReadBytes(destination / u"a.exe"), "new a");
  EXPECT_EQ(ReadBytes(destination / u"B.EXE"), std::string(200000, 'b'));
  EXPECT_EQ(Names(destination.path()), (std::vector<std::u16string>{u"B.EXE", u"a.exe"}));
}

TEST_F(FileRefresh, FolderWithoutFilesLogsOnlyTheBanner) {
  EXPECT_EQ(Run(u"*.*"), kBanner);
  MakeFolders(share / u"sub");
  WriteBytes(share / u"sub\\inner.exe", "x");
  EXPECT_EQ(Run(u"*"), kBanner);
  EXPECT_EQ(Names(destination.path()), std::vector<std::u16string>{});
}

TEST_F(FileRefresh, RefusedListingRaisesBeforeAnyLine) {
  WriteBytes(share / u"a.exe", "x");
  RecordingLog log;
  EXPECT_EQ(
      Outcome([&] { CopyFilesWithPattern(share / u"missing", u"*.exe", destination.path(), RefreshMode::All, log); }),
      "EDirectoryNotFoundException: The specified path was not found");
  EXPECT_EQ(Outcome([&] { CopyFilesWithPattern(share.path(), u"[", destination.path(), RefreshMode::All, log); }),
            "EMaskException: '[' is an invalid mask at (2)");
  EXPECT_TRUE(log.lines.empty());
}

TEST_F(FileRefresh, MissingDestinationFailsEveryFileAndCreatesNoFolder) {
  WriteBytes(share / u"a.exe", "x");
  WriteBytes(share / u"b.exe", "y");
  RecordingLog log;
  CopyFilesWithPattern(share.path(), u"*.exe", destination / u"missing", RefreshMode::All, log);
  EXPECT_EQ(FileLines(log.lines),
            (std::vector<std::u16string>{u"Error copying file a.exe: The specified path was not found",
                                         u"Error copying file b.exe: The specified path was not found"}));
  EXPECT_EQ(Names(destination.path()), std::vector<std::u16string>{});
}

TEST_F(FileRefresh, TargetsThatCannotBeReplacedKeepTheirBytesAndTheRestIsCopied) {
  WriteBytes(share / u"locked.exe", "new locked");
  WriteBytes(share / u"readonly.dll", "new readonly");
  WriteBytes(share / u"free.exe", "new free");
  WriteBytes(destination / u"locked.exe", "running program");
  WriteBytes(destination / u"readonly.dll", "read-only library");
  SetFileAttributesW(Wide(destination / u"readonly.dll"), FILE_ATTRIBUTE_READONLY);
  // The copy beside a refused target carries the read-only attribute of its source, and must
  // still be cleared away.
  SetFileAttributesW(Wide(share / u"locked.exe"), FILE_ATTRIBUTE_READONLY);
  UniqueFile running(CreateFileW(Wide(destination / u"locked.exe"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
  ASSERT_NE(running.get(), INVALID_HANDLE_VALUE);

  RecordingLog log;
  const RefreshCounts counts = CopyFilesWithPattern(share.path(), u"*.*", destination.path(), RefreshMode::All, log);
  const std::vector<std::u16string> lines = FileLines(log.lines);
  running.reset();
  EXPECT_EQ(counts.updated, 1);
  EXPECT_EQ(counts.failed, 2);
  for (const std::u16string& path : {share / u"locked.exe", destination / u"readonly.dll"})
    SetFileAttributesW(Wide(path), FILE_ATTRIBUTE_NORMAL);

  ASSERT_EQ(lines.size(), 3u);
  // A file held with read sharing alone can be neither replaced nor renamed aside: the error is
  // the replacement's own, access denied, under Wine as on Windows.
  EXPECT_EQ(lines[0], u"Error copying file locked.exe: " + platform::SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(lines[1], u"Error copying file readonly.dll: " + platform::SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(lines[2], u"free.exe Updated Successfully.");
  EXPECT_EQ(ReadBytes(destination / u"free.exe"), "new free");
  EXPECT_EQ(ReadBytes(destination / u"locked.exe"), "running program");
  EXPECT_EQ(ReadBytes(destination / u"readonly.dll"), "read-only library");
  EXPECT_EQ(Names(destination.path()), (std::vector<std::u16string>{u"free.exe", u"locked.exe", u"readonly.dll"}));
}

// A program running from its file, or a file another program holds while letting it be renamed,
// cannot be replaced but can be moved aside: the fresh copy takes its name, the holder keeps the
// old bytes, and the set-aside file, still held, is left for the next run, which removes it once
// it is free.
TEST_F(FileRefresh, TargetInUseThatMayBeRenamedIsMovedAsideAndReplaced) {
  WriteBytes(share / u"open.exe", "new version");
  WriteBytes(destination / u"open.exe", "old version");
  UniqueFile holder(CreateFileW(Wide(destination / u"open.exe"), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);

  RecordingLog log;
  const RefreshCounts counts = CopyFilesWithPattern(share.path(), u"*.exe", destination.path(), RefreshMode::All, log);
  EXPECT_EQ(FileLines(log.lines), std::vector<std::u16string>{u"open.exe Updated Successfully."});
  EXPECT_EQ(counts.updated, 1);
  EXPECT_EQ(counts.failed, 0);
  EXPECT_EQ(ReadBytes(destination / u"open.exe"), "new version");
  char held[16] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(holder.get(), held, sizeof held, &read, nullptr));
  EXPECT_EQ(std::string(held, read), "old version");
  std::vector<std::u16string> names = Names(destination.path());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(SetAsideTarget(names[1]), u"open.exe") << ToUtf8(names[1]);

  holder.reset();
  EXPECT_EQ(FileLines(Run(u"*.exe")), std::vector<std::u16string>{u"open.exe Updated Successfully."});
  EXPECT_EQ(Names(destination.path()), std::vector<std::u16string>{u"open.exe"});
}

// Read-only program files on the share are common, and the copy carries the attribute over: the
// next run must still refresh such a copy. A target made read-only here over a writable source is
// refused, and a refused replacement leaves the target as it was, attribute included.
TEST_F(FileRefresh, ReadOnlyTargetIsReplacedOnlyWhenItsSourceIsReadOnlyToo) {
  for (const char16_t* name : {u"shared.exe", u"local.exe", u"running.exe"}) {
    WriteBytes(share / name, "new");
    WriteBytes(destination / name, "old");
    ASSERT_TRUE(SetFileAttributesW(Wide(destination / name), FILE_ATTRIBUTE_READONLY));
  }
  for (const char16_t* name : {u"shared.exe", u"running.exe"})
    ASSERT_TRUE(SetFileAttributesW(Wide(share / name), FILE_ATTRIBUTE_READONLY));
  const UniqueFile running(CreateFileW(Wide(destination / u"running.exe"), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(running);

  const std::vector<std::u16string> lines = FileLines(Run(u"*.exe"));
  const std::u16string denied = platform::SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"Error copying file local.exe: " + denied,
                                                u"Error copying file running.exe: " + denied,
                                                u"shared.exe Updated Successfully."}));
  EXPECT_EQ(ReadBytes(destination / u"shared.exe"), "new");
  EXPECT_EQ(ReadBytes(destination / u"local.exe"), "old");
  EXPECT_EQ(ReadBytes(destination / u"running.exe"), "old");
  for (const char16_t* name : {u"shared.exe", u"local.exe", u"running.exe"})
    EXPECT_TRUE(GetFileAttributesW(Wide(destination / name)) & FILE_ATTRIBUTE_READONLY) << ToUtf8(name);
  EXPECT_EQ(Names(destination.path()), (std::vector<std::u16string>{u"local.exe", u"running.exe", u"shared.exe"}));
}

// Scanners, indexers and backup agents open a file for a moment, without delete sharing: a target
// held so is tried again until it is free, and then replaced without being moved aside.
TEST_F(FileRefresh, TargetHeldForAMomentIsReplacedOnceFree) {
  WriteBytes(share / u"a.exe", "new a");
  WriteBytes(destination / u"a.exe", "old a");
  UniqueFile scanner(
      CreateFileW(Wide(destination / u"a.exe"), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(scanner);
  const UniqueKernelHandle letGo(CreateThread(
      nullptr, 0,
      [](void* held) -> DWORD {
        Sleep(700);
        static_cast<UniqueFile*>(held)->reset();
        return 0;
      },
      &scanner, 0, nullptr));
  EXPECT_EQ(FileLines(Run(u"*.exe")), std::vector<std::u16string>{u"a.exe Updated Successfully."});
  WaitForSingleObject(letGo.get(), INFINITE);
  EXPECT_EQ(ReadBytes(destination / u"a.exe"), "new a");
  EXPECT_EQ(Names(destination.path()), std::vector<std::u16string>{u"a.exe"});
}

// A run ended between moving a program in use aside and moving its fresh copy in (sign-out, power
// loss, "End task") leaves the program only under its set-aside name. The next run puts it back
// whatever else happens, and takes nothing away while the share cannot be listed: a copy in the
// old form, which cannot tell its target, may be the only one too.
TEST_F(FileRefresh, ASetAsideProgramWhoseTargetIsMissingIsPutBackNeverDeleted) {
  WriteBytes(destination / u"~kst0123abcd~tavMENU.exe.tmp", "the only menu program");
  WriteBytes(destination / u"~kst89ef4567~tavB.exe.tmp", "an older tavB, set aside");
  WriteBytes(destination / u"tavB.exe", "tavB");
  WriteBytes(destination / u"~kstfeedf00d.tmp", "a copy in the old form");
  RecordingLog log;
  EXPECT_EQ(Outcome([&] {
              CopyFilesWithPattern(share / u"unreachable", u"*.exe", destination.path(), RefreshMode::All, log);
            }),
            "EDirectoryNotFoundException: The specified path was not found");
  EXPECT_EQ(ReadBytes(destination / u"tavMENU.exe"), "the only menu program");
  EXPECT_EQ(
      Names(destination.path()),
      (std::vector<std::u16string>{u"tavB.exe", u"tavMENU.exe", u"~kst89ef4567~tavB.exe.tmp", u"~kstfeedf00d.tmp"}));

  // Listed, the share gives back whatever the leftovers could have stood for.
  WriteBytes(share / u"tavB.exe", "new tavB");
  EXPECT_EQ(FileLines(Run(u"*.exe")), std::vector<std::u16string>{u"tavB.exe Updated Successfully."});
  EXPECT_EQ(Names(destination.path()), (std::vector<std::u16string>{u"tavB.exe", u"tavMENU.exe"}));
}

// A run broken off midway leaves its copy beside the target; the next run removes such leftovers
// once it has copied, with every listed file in place, and logs nothing for them. Only files named exactly as the
// program names its copies go, and never one that is still open: sharing is decided per open handle, whichever process
// holds it, so a handle of this test stands for another running instance's.
TEST_F(FileRefresh, LeftoversOfBrokenOffRunsGoAfterTheCopyButNothingElse) {
  WriteBytes(share / u"a.exe", "new a");
  WriteBytes(destination / u"~kst0123abcd.tmp", "stale");
  WriteBytes(destination / u"~kst89ef4567.tmp", "stale, read-only like its source");
  ASSERT_TRUE(SetFileAttributesW(Wide(destination / u"~kst89ef4567.tmp"), FILE_ATTRIBUTE_READONLY));
  WriteBytes(destination / u"~kstfeedf00d.tmp", "being written by another run");
  // Even with every kind of sharing allowed, as a plain delete would not respect it.
  UniqueFile held(CreateFileW(Wide(destination / u"~kstfeedf00d.tmp"), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                              nullptr));
  ASSERT_TRUE(held);
  MakeFolders(destination / u"~kst00000000.tmp");
  WriteBytes(destination / u"~KST01234567.TMP", "look-alike");
  WriteBytes(destination / u"~kst0123abcd.tmp.bak", "look-alike");

  EXPECT_EQ(FileLines(Run(u"*.exe")), std::vector<std::u16string>{u"a.exe Updated Successfully."});
  held.reset();  // a delete merely marked would take effect now
  EXPECT_EQ(Names(destination.path()), (std::vector<std::u16string>{u"a.exe", u"~KST01234567.TMP", u"~kst00000000.tmp",
                                                                    u"~kst0123abcd.tmp.bak", u"~kstfeedf00d.tmp"}));
  EXPECT_EQ(ReadBytes(destination / u"~kstfeedf00d.tmp"), "being written by another run");
}

// A leftover in the plain form may be a program an earlier release set aside, and the only copy of
// it: while a program the run listed is missing (its file on the share held by the server), every
// such leftover stays, and the run says which; once the share gives the program, they go.
TEST_F(FileRefresh, PlainLeftoversStayWhileAListedProgramIsMissing) {
  WriteBytes(share / u"tavMENU.exe", "new menu");
  WriteBytes(share / u"tavB.exe", "new tavB");
  WriteBytes(destination / u"~kst0badf00d.tmp", "the only menu program");
  UniqueFile server(CreateFileW(Wide(share / u"tavMENU.exe"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(server);
  EXPECT_EQ(FileLines(Run(u"*.exe")),
            (std::vector<std::u16string>{
                u"Error copying file tavMENU.exe: " + platform::SystemErrorText(ERROR_SHARING_VIOLATION),
                u"tavB.exe Updated Successfully."}));
  EXPECT_EQ(counts.keptLeftovers, std::vector<std::u16string>{u"~kst0badf00d.tmp"});
  EXPECT_EQ(counts.missing, std::vector<std::u16string>{u"tavMENU.exe"});
  EXPECT_EQ(ReadBytes(destination / u"~kst0badf00d.tmp"), "the only menu program");

  server.reset();
  EXPECT_EQ(FileLines(Run(u"*.exe")),
            (std::vector<std::u16string>{u"tavB.exe Updated Successfully.", u"tavMENU.exe Updated Successfully."}));
  EXPECT_TRUE(counts.keptLeftovers.empty());
  EXPECT_EQ(Names(destination.path()), (std::vector<std::u16string>{u"tavB.exe", u"tavMENU.exe"}));
}

// A program in use whose set-aside name would not fit its folder is not replaced at all: set aside
// under a name that does not tell its target, it could be lost as a leftover.
TEST_F(FileRefresh, AProgramInUseWhoseSetAsideNameDoesNotFitKeepsItsPlace) {
  // The target's path is 250 characters long; its set-aside path would be 267.
  const std::u16string deep = destination / std::u16string(250 - destination.path().size() - 2 - 8, u'd');
  MakeFolders(deep);
  const std::u16string target = deep + u"\\open.exe";
  ASSERT_EQ(target.size(), 250u);
  WriteBytes(share / u"open.exe", "new version");
  WriteBytes(target, "old version");
  UniqueFile holder(
      CreateFileW(Wide(target), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  RecordingLog log;
  counts = CopyFilesWithPattern(share.path(), u"*.exe", deep, RefreshMode::All, log);
  EXPECT_EQ(
      FileLines(log.lines),
      std::vector<std::u16string>{u"Error copying file open.exe: " + platform::SystemErrorText(ERROR_ACCESS_DENIED) +
                                  u"; the file is in use, and its name is too long to move it aside while it is "
                                  u"replaced"});
  holder.reset();
  EXPECT_EQ(ReadBytes(target), "old version");
  EXPECT_EQ(Names(deep), std::vector<std::u16string>{u"open.exe"});
}

// A run that copied everything leaves copies with their sources' sizes and times; from then on
// "changed" copies a file only when either side's size or last-write time moved, either way, or
// the local copy is gone. The contents are never compared: that is what spares the share.
TEST_F(FileRefresh, ChangedCopiesOnlyFilesWhoseSizeOrTimeDiffers) {
  const char16_t* names[] = {u"same.exe",        u"share-resized.exe", u"share-touched.exe", u"local-resized.exe",
                             u"local-older.exe", u"local-gone.exe",    u"same-stamp.exe"};
  for (const char16_t* name : names) WriteBytes(share / name, "version 1 of " + ToUtf8(name));
  // Read-only on both sides, as the copy carries the attribute over: still judged by size and time.
  ASSERT_TRUE(SetFileAttributesW(Wide(share / u"same.exe"), FILE_ATTRIBUTE_READONLY));
  Run(u"*.exe");
  ASSERT_EQ(counts.updated, 7);

  WriteBytes(share / u"share-resized.exe", "version 2, longer");
  SetLastWriteTime(share / u"share-touched.exe", LastWriteTime(share / u"share-touched.exe") + kTwoSeconds);
  WriteBytes(destination / u"local-resized.exe", "damaged");
  SetLastWriteTime(destination / u"local-older.exe", LastWriteTime(destination / u"local-older.exe") - kTwoSeconds);
  ASSERT_TRUE(DeleteFileW(Wide(destination / u"local-gone.exe")));
  // The trade-off: a local change that keeps size and time goes unseen until the share's file changes.
  const uint64_t stamp = LastWriteTime(destination / u"same-stamp.exe");
  WriteBytes(destination / u"same-stamp.exe", "VERSION 1 OF same-stamp.exe");
  SetLastWriteTime(destination / u"same-stamp.exe", stamp);

  EXPECT_EQ(
      FileLines(Run(u"*.exe", RefreshMode::Changed)),
      (std::vector<std::u16string>{u"local-gone.exe Updated Successfully.", u"local-older.exe Updated Successfully.",
                                   u"local-resized.exe Updated Successfully.", u"same-stamp.exe Is Up To Date.",
                                   u"same.exe Is Up To Date.", u"share-resized.exe Updated Successfully.",
                                   u"share-touched.exe Updated Successfully."}));
  EXPECT_EQ(counts.updated, 5);
  EXPECT_EQ(counts.unchanged, 2);
  EXPECT_EQ(counts.failed, 0);
  for (const char16_t* name : names) {
    if (std::u16string(name) == u"same-stamp.exe") continue;
    EXPECT_EQ(ReadBytes(destination / name), ReadBytes(share / name)) << ToUtf8(name);
    EXPECT_EQ(LastWriteTime(destination / name), LastWriteTime(share / name)) << ToUtf8(name);
  }
  EXPECT_EQ(ReadBytes(destination / u"same-stamp.exe"), "VERSION 1 OF same-stamp.exe");
  SetFileAttributesW(Wide(share / u"same.exe"), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesW(Wide(destination / u"same.exe"), FILE_ATTRIBUTE_NORMAL);
}

// A fresh name that exists is never written over, whoever made it: the copy draws another; and a
// folder that answers "exists" to every name ends as the file's error after 16 draws, not a hang.
TEST_F(FileRefresh, AFreshNameThatExistsIsNeverOverwritten) {
  constexpr uint32_t kTaken = 0x5eed0001, kFree = 0x5eed0002;
  const std::u16string taken = destination / TemporaryName(kTaken);
  WriteBytes(taken, "another program's file");
  WriteBytes(destination / u"tavA.exe", "working");
  WriteBytes(share / u"tavA.exe", "new");
  const std::vector<std::u16string> names = {u"tavA.exe", TemporaryName(kTaken)};

  int draws = 0;
  CopyReplacing(share / u"tavA.exe", destination / u"tavA.exe", {}, [&] { return ++draws == 1 ? kTaken : kFree; });
  EXPECT_EQ(draws, 2);
  EXPECT_EQ(ReadBytes(destination / u"tavA.exe"), "new");
  EXPECT_EQ(ReadBytes(taken), "another program's file");
  EXPECT_EQ(Names(destination.path()), names);

  draws = 0;
  WriteBytes(share / u"tavA.exe", "newer");
  EXPECT_THROW(CopyReplacing(share / u"tavA.exe", destination / u"tavA.exe", {}, [&] { return ++draws, kTaken; }),
               EInOutError);
  EXPECT_EQ(draws, 16);
  EXPECT_EQ(ReadBytes(destination / u"tavA.exe"), "new");
  EXPECT_EQ(ReadBytes(taken), "another program's file");
  EXPECT_EQ(Names(destination.path()), names);
}

// The log of a run whose file server goes away once the first file is done: the share's folder is
// gone, as when the server drops the connection after the listing.
class ShareGoneAfterTheFirstFile : public ActivityLog {
 public:
  explicit ShareGoneAfterTheFirstFile(std::u16string share) : share_(std::move(share)) {}
  void AppendLine(const std::u16string& line) override {
    if (lines.empty()) wine_host::RemoveTree(share_);
    lines.push_back(line);
  }
  std::vector<std::u16string> lines;

 private:
  std::u16string share_;
};

TEST_F(FileRefresh, ASourceThatGoesAwayMidwayKeepsTheWorkingFiles) {
  const std::vector<std::u16string> names = {u"tavA.exe", u"tavB.exe", u"tavC.exe"};
  for (const std::u16string& name : names) {
    WriteBytes(share / name, "new " + ToUtf8(name));
    WriteBytes(destination / name, "working " + ToUtf8(name));
  }
  ShareGoneAfterTheFirstFile log(share.path());
  counts = CopyFilesWithPattern(share.path(), u"tav*.exe", destination.path(), RefreshMode::All, log);
  ASSERT_EQ(log.lines.size(), names.size() + kBanner.size());
  EXPECT_EQ(counts.updated, 1);
  EXPECT_EQ(counts.failed, 2);
  for (const std::u16string& name : names) {
    const bool first = log.lines[0] == name + u" Updated Successfully.";
    EXPECT_EQ(ReadBytes(destination / name), (first ? "new " : "working ") + ToUtf8(name));
  }
  for (size_t i = 1; i < names.size(); ++i)
    EXPECT_EQ(log.lines[i].rfind(u"Error copying file ", 0), 0u) << ToUtf8(log.lines[i]);
  EXPECT_EQ(Names(destination.path()), names);
}

// Run by its own ctest entry under a file size limit: the disk "fills up" after 1 MiB, so copying
// this test program (a few MiB) breaks off midway.
TEST_F(FileRefresh, FullDiskMidwayKeepsTheWorkingFile) {
  if (!std::getenv("KESTRANE_FILE_SIZE_LIMIT")) GTEST_SKIP() << "needs the file size limit of win_tests_full_disk";
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::filesystem::path program(self);
  const std::wstring folder = program.parent_path().wstring(), name = program.filename().wstring();
  const std::u16string programName(name.begin(), name.end());
  WriteBytes(destination / programName, "working program");

  RecordingLog log;
  CopyFilesWithPattern(std::u16string(folder.begin(), folder.end()), programName, destination.path(), RefreshMode::All,
                       log);
  ASSERT_EQ(log.lines.size(), 5u);
  EXPECT_EQ(log.lines[0].rfind(u"Error copying file " + programName + u": ", 0), 0u) << ToUtf8(log.lines[0]);
  EXPECT_TRUE(ReadBytes(destination / programName) == "working program");  // not a megabyte of it in the log
  EXPECT_EQ(Names(destination.path()), std::vector<std::u16string>{programName});
}

}  // namespace
