// Replacing a file with a copy in one step, on throwaway folders: whatever fails, the old target
// stays byte for byte and no temporary file is left beside it.
#include "platform/file_replace.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/win/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

std::u16string Text(const fs::path& path) {
  const std::wstring text = path.wstring();
  return std::u16string(text.begin(), text.end());
}

std::vector<std::wstring> Names(const fs::path& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
  return names;
}

class ReplaceWithCopy : public testing::Test {
 protected:
  void SetUp() override {
    WriteFile(source_, "new program");
    WriteFile(target_, "working program");
  }
  void TearDown() override { SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL); }

  void ExpectTargetUntouched() {
    EXPECT_EQ(ReadFile(target_), "working program");
    EXPECT_EQ(Names(destination_.Path()), std::vector<std::wstring>{L"tavMENU.exe"});
  }

  ScratchFolder share_{L"kestrane-replace-share"};
  ScratchFolder destination_{L"kestrane-replace-destination"};
  fs::path source_ = share_.Path() / "tavMENU.exe";
  fs::path target_ = destination_.Path() / "tavMENU.exe";
};

TEST_F(ReplaceWithCopy, ReplacesTheTargetAndLeavesOnlyIt) {
  EXPECT_EQ(platform::ReplaceWithCopy(Text(source_), Text(target_)), 0u);
  EXPECT_EQ(ReadFile(target_), "new program");
  EXPECT_EQ(Names(destination_.Path()), std::vector<std::wstring>{L"tavMENU.exe"});

  fs::remove(target_);  // a first copy, with nothing to replace
  EXPECT_EQ(platform::ReplaceWithCopy(Text(source_), Text(target_)), 0u);
  EXPECT_EQ(ReadFile(target_), "new program");
}

TEST_F(ReplaceWithCopy, ReadOnlyCopyOfTheSourceIsRemovedWhenTheReplaceFails) {
  SetFileAttributesW(source_.c_str(), FILE_ATTRIBUTE_READONLY);
  const HANDLE holder = CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_NE(platform::ReplaceWithCopy(Text(source_), Text(target_)), 0u);
  CloseHandle(holder);
  SetFileAttributesW(source_.c_str(), FILE_ATTRIBUTE_NORMAL);
  ExpectTargetUntouched();
}

TEST_F(ReplaceWithCopy, RefusedReplacementKeepsTheTarget) {
  {
    SCOPED_TRACE("read-only target");
    SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(platform::ReplaceWithCopy(Text(source_), Text(target_)), static_cast<uint32_t>(ERROR_ACCESS_DENIED));
    SetFileAttributesW(target_.c_str(), FILE_ATTRIBUTE_NORMAL);
    ExpectTargetUntouched();
  }
  {
    SCOPED_TRACE("target held open, as a running program is");
    const HANDLE holder = CreateFileW(target_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_NE(platform::ReplaceWithCopy(Text(source_), Text(target_)), 0u);
    CloseHandle(holder);
    ExpectTargetUntouched();
  }
  {
    SCOPED_TRACE("source gone");
    fs::remove(source_);
    EXPECT_EQ(platform::ReplaceWithCopy(Text(source_), Text(target_)), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND));
    ExpectTargetUntouched();
  }
}

// Run by its own ctest entry under a file size limit (the disk "fills up" after 1 MiB): copying
// this test program, a few MiB, fails midway.
TEST_F(ReplaceWithCopy, FullDiskMidwayKeepsTheTarget) {
  if (!std::getenv("KESTRANE_FILE_SIZE_LIMIT")) GTEST_SKIP() << "needs the file size limit of win_tests_full_disk";
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_NE(platform::ReplaceWithCopy(Text(self), Text(target_)), 0u);
  ExpectTargetUntouched();
}

}  // namespace
