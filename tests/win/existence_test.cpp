#include "platform/existence.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/text.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "tests/win/scratch.h"
#include "tests/win/wine_host.h"

namespace {

class Existence : public ::testing::Test {
 protected:
  void SetUp() override {
    MakeFolders(folder / u"folder");
    WriteBytes(folder / u"file.txt", "x");
    MakeFolders(folder / u"gone");
    WriteBytes(folder / u"gone.txt", "x");
    wine_host::MakeLink(folder / u"folder-link", folder / u"folder");
    wine_host::MakeLink(folder / u"file-link", folder / u"file.txt");
    wine_host::MakeLink(folder / u"gone-folder-link", folder / u"gone");
    wine_host::MakeLink(folder / u"gone-file-link", folder / u"gone.txt");
    wine_host::RemoveTree(folder / u"gone");
    wine_host::RemoveTree(folder / u"gone.txt");
  }

  ScratchFolder folder{u"existence"};
};

TEST_F(Existence, RealFoldersFilesAndLinks) {
  struct Case {
    std::u16string path;
    bool directory;
    bool file;
  };
  const Case cases[] = {
      {folder / u"folder", true, false},
      {folder / u"file.txt", false, true},
      {folder / u"FOLDER", true, false},
      {folder / u"missing", false, false},
      {folder / u"missing\\deeper", false, false},
      {folder / u"file.txt\\below", false, false},
      {folder / u"wild*card", false, false},
      {folder / u"wild?card", false, false},
      {folder / u"folder-link", true, false},
      {folder / u"file-link", false, true},
      {folder / u"gone-folder-link", false, false},
      {folder / u"gone-file-link", false, false},
      {u"", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::DirectoryExists(c.path), c.directory) << ToUtf8(c.path);
    EXPECT_EQ(platform::FileExists(c.path), c.file) << ToUtf8(c.path);
  }
}

TEST_F(Existence, WineShowsAFolderLinkAsAReparsePoint) {
  // Guards the assumption that the link rows of the table are reached here at all.
  const DWORD attributes = GetFileAttributesW(Wide(folder / u"folder-link"));
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Existence, LeavesNoHandleOpen) {
  ASSERT_TRUE(platform::DirectoryExists(folder / u"folder-link"));
  ASSERT_TRUE(platform::FileExists(folder / u"file.txt"));
  ASSERT_TRUE(platform::FileExists(folder / u"file-link"));
  // Sharing nothing succeeds only when no other handle is open on the same object.
  for (const std::u16string& path : {folder / u"folder-link", folder / u"folder"}) {
    const UniqueFile held(
        CreateFileW(Wide(path), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    EXPECT_TRUE(held) << ToUtf8(path) << " error " << GetLastError();
  }
  const UniqueFile held(CreateFileW(Wide(folder / u"file.txt"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_TRUE(held) << "error " << GetLastError();
}

TEST_F(Existence, AFileHeldOpenWithoutSharingStillExists) {
  const UniqueFile held(CreateFileW(Wide(folder / u"file.txt"), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(held);
  EXPECT_TRUE(platform::FileExists(folder / u"file.txt"));
  EXPECT_TRUE(platform::FileExists(folder / u"file-link"));
}

}  // namespace
