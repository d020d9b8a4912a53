#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/system_error.h"
#include "tests/unit/error_outcome.h"
#include "tests/win/scratch.h"
#include "tests/win/wine_host.h"
#include "update/directory.h"
#include "update/file.h"

namespace {

const std::string kPathNotFound = "EDirectoryNotFoundException: The specified path was not found";
const std::string kTooLong = "EPathTooLongException: The specified path is too long";
const std::string kInvalidPattern = "EArgumentException: Invalid characters in search pattern";

std::string ReadBytes(const std::u16string& path) {
  const UniqueFile file(CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "<missing>";
  char buffer[256];
  DWORD read = 0;
  if (!ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr)) return "<unreadable>";
  return std::string(buffer, read);
}

bool Exists(const std::u16string& path) { return GetFileAttributesW(Wide(path)) != INVALID_FILE_ATTRIBUTES; }

// The listed paths in a fixed order, so a test states them without relying on the platform's.
std::vector<std::string> Listed(const std::u16string& path, const std::u16string& pattern) {
  std::vector<std::string> files;
  for (const std::u16string& file : TDirectory::GetFiles(path, pattern, TSearchOption::soTopDirectoryOnly)) {
    files.push_back(ToUtf8(file));
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string ListingOutcome(const std::u16string& path, const std::u16string& pattern) {
  return Outcome([&] { TDirectory::GetFiles(path, pattern, TSearchOption::soTopDirectoryOnly); });
}

// A path of exactly length characters below folder.
std::u16string PathOfLength(const ScratchFolder& folder, size_t length) {
  return folder / std::u16string(length - folder.path().size() - 1, u'n');
}

class Listing : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char16_t* name : {u"a.exe", u"B.EXE", u"c.exe.bak", u"README"}) WriteBytes(folder / name, "x");
    MakeFolders(folder / u"d.exe");
    WriteBytes(folder / u"d.exe\\inner.exe", "x");
  }

  std::string In(const char* name) const { return ToUtf8(folder / FromAscii(name)); }

  ScratchFolder folder{u"listing"};
};

TEST_F(Listing, PatternSelectsFilesButNeverFolders) {
  EXPECT_EQ(Listed(folder.path(), u"*.exe"), (std::vector{In("B.EXE"), In("a.exe")}));
  EXPECT_EQ(Listed(folder.path(), u"?.exe"), (std::vector{In("B.EXE"), In("a.exe")}));
  EXPECT_EQ(Listed(folder.path(), u"[!a]*"), (std::vector{In("B.EXE"), In("README"), In("c.exe.bak")}));
  // Blanks at the end of a pattern are part of it.
  EXPECT_EQ(Listed(folder.path(), u"*.exe "), std::vector<std::string>{});
}

TEST_F(Listing, StarDotStarAndStarListEveryFile) {
  const std::vector expected{In("B.EXE"), In("README"), In("a.exe"), In("c.exe.bak")};
  EXPECT_EQ(Listed(folder.path(), u"*.*"), expected);
  EXPECT_EQ(Listed(folder.path(), u"*"), expected);
  EXPECT_EQ(Listed(folder / u"d.exe", u"*.*"), std::vector{ToUtf8(folder / u"d.exe\\inner.exe")});
}

TEST_F(Listing, HiddenAndSystemFilesAreListed) {
  ASSERT_TRUE(SetFileAttributesW(Wide(folder / u"a.exe"), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesW(Wide(folder / u"B.EXE"), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(Listed(folder.path(), u"*.exe"), (std::vector{In("B.EXE"), In("a.exe")}));
}

TEST_F(Listing, PathKeepsTheFormItWasGivenIn) {
  // A trailing separator is not doubled; the listed paths start with the path as passed in.
  EXPECT_EQ(Listed(folder.path() + u"\\", u"a.*"), std::vector{In("a.exe")});
  EXPECT_EQ(Listed(folder / u"d.exe\\..", u"a.*"), std::vector{ToUtf8(folder / u"d.exe\\..\\a.exe")});
}

TEST_F(Listing, FolderOfOnlyFoldersListsNothing) {
  ScratchFolder onlyFolders{u"only-folders"};
  MakeFolders(onlyFolders / u"x.exe");
  EXPECT_EQ(Listed(onlyFolders.path(), u"*"), std::vector<std::string>{});
}

// A drive whose top folder holds nothing delivers no entry at all, not even ".": that is an empty
// folder, not one that the platform refuses to list.
TEST(EmptyDrive, TopFolderListsNothing) {
  ScratchFolder root{u"empty-drive"};
  char prefix[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableA("WINEPREFIX", prefix, MAX_PATH), 0u);
  const std::string drive = std::string(prefix) + "/dosdevices/q:";
  ASSERT_TRUE(wine_host::RunUnix({"/bin/ln", "-sfn", wine_host::UnixPath(root.path()), drive}));
  EXPECT_EQ(Listed(u"Q:\\", u"*"), std::vector<std::string>{});
  EXPECT_EQ(Listed(u"Q:", u"*.exe"), std::vector<std::string>{});
  EXPECT_TRUE(wine_host::RunUnix({"/bin/rm", drive}));
}

TEST_F(Listing, RefusalsInTheirOrder) {
  const std::u16string missing = folder / u"missing";
  EXPECT_EQ(ListingOutcome(missing, u""), kInvalidPattern);  // the pattern goes before the folder
  EXPECT_EQ(ListingOutcome(missing, u"   "), kInvalidPattern);
  EXPECT_EQ(ListingOutcome(folder.path(), u"d.exe\\*.exe"), kInvalidPattern);
  EXPECT_EQ(ListingOutcome(missing, u"*.exe"), kPathNotFound);
  EXPECT_EQ(ListingOutcome(folder / u"a.exe", u"*"), kPathNotFound);
  EXPECT_EQ(ListingOutcome(folder.path(), u"["), "EMaskException: '[' is an invalid mask at (2)");
  EXPECT_EQ(ListingOutcome(folder.path(), u"*.ex[e"), "EMaskException: '*.ex[e' is an invalid mask at (7)");
}

TEST_F(Listing, FolderPathLengthLimit) {
  EXPECT_EQ(ListingOutcome(PathOfLength(folder, 247), u"*"), kPathNotFound);
  EXPECT_EQ(ListingOutcome(PathOfLength(folder, 248), u"*"), kTooLong);
  EXPECT_EQ(ListingOutcome(PathOfLength(folder, 300), u"*"), kTooLong);
  // The limit applies to the full path, not to the text as given.
  std::u16string roundabout = folder.path();
  for (int i = 0; i < 40; ++i) roundabout += u"\\d.exe\\..";
  EXPECT_EQ(Listed(roundabout, u"a.exe").size(), 1u);
}

class Copying : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFolders(folder / u"source");
    MakeFolders(folder / u"dest");
    WriteBytes(source, "new contents");
  }

  std::string CopyOutcome(const std::u16string& from, const std::u16string& to) {
    return Outcome([&] { TFile::Copy(from, to, true); });
  }

  ScratchFolder folder{u"copying"};
  const std::u16string source = folder / u"source\\tav.exe";
  const std::u16string target = folder / u"dest\\tav.exe";
};

TEST_F(Copying, NewAndExistingTargets) {
  EXPECT_EQ(CopyOutcome(source, target), "ok");
  EXPECT_EQ(ReadBytes(target), "new contents");
  WriteBytes(target, "old contents that are longer");
  EXPECT_EQ(CopyOutcome(source, target), "ok");
  EXPECT_EQ(ReadBytes(target), "new contents");
}

TEST_F(Copying, ReadOnlyTargetFailsWithTheSystemText) {
  WriteBytes(target, "old");
  ASSERT_TRUE(SetFileAttributesW(Wide(target), FILE_ATTRIBUTE_READONLY));
  // Wine keeps the read-only flag as Unix permissions, which do not bind root; the immutable
  // flag does, so the platform refuses the copy as it refuses an ordinary user.
  const std::string unixTarget = wine_host::UnixPath(target);
  const bool immutable = wine_host::RunUnix({"chattr", "+i", unixTarget});
  const std::string outcome = CopyOutcome(source, target);
  if (immutable) wine_host::RunUnix({"chattr", "-i", unixTarget});
  SetFileAttributesW(Wide(target), FILE_ATTRIBUTE_NORMAL);
  if (!immutable && outcome == "ok") GTEST_SKIP() << "running as root without the immutable flag";
  EXPECT_EQ(outcome, "EInOutError: " + ToUtf8(platform::SystemErrorText(ERROR_ACCESS_DENIED)));
  EXPECT_EQ(ReadBytes(target), "old");
}

TEST_F(Copying, TargetInUseFailsWithTheSystemText) {
  WriteBytes(target, "old");
  {
    // Held open without sharing, as a running program holds its file.
    const UniqueFile inUse(CreateFileW(Wide(target), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(inUse);
    const std::u16string text = platform::SystemErrorText(ERROR_SHARING_VIOLATION);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(CopyOutcome(source, target), "EInOutError: " + ToUtf8(text));
  }
  EXPECT_EQ(ReadBytes(target), "old");
}

TEST_F(Copying, MissingFoldersAndFiles) {
  const std::u16string noFolder = folder / u"nowhere\\tav.exe";
  EXPECT_EQ(CopyOutcome(source, noFolder), kPathNotFound);
  EXPECT_FALSE(Exists(folder / u"nowhere"));
  EXPECT_EQ(CopyOutcome(noFolder, target), kPathNotFound);
  // The source is checked whole before the target.
  EXPECT_EQ(CopyOutcome(folder / u"source\\gone.exe", noFolder),
            "EFileNotFoundException: The specified file was not found");
  EXPECT_EQ(CopyOutcome(folder / u"source", target), "EFileNotFoundException: The specified file was not found");
  EXPECT_FALSE(Exists(target));
}

TEST_F(Copying, PathLengthAndCharacters) {
  EXPECT_EQ(CopyOutcome(PathOfLength(folder, 260), target), kTooLong);
  EXPECT_EQ(CopyOutcome(source, PathOfLength(folder, 260)), kTooLong);
  EXPECT_EQ(CopyOutcome(source, PathOfLength(folder, 259)), "ok");
  EXPECT_EQ(CopyOutcome(source, folder / u"dest\\a<b"), "EArgumentException: Invalid characters in path");
  EXPECT_EQ(CopyOutcome(source, folder / u"dest\\a:b"), "ENotSupportedException: The path format is not supported");
}

}  // namespace
