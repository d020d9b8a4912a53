#pragma once

// Throwaway folders and files on the test prefix's drive C:, removed again at the end of a test.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "tests/win/wine_host.h"

inline void MakeFolders(const std::u16string& path) {
  std::filesystem::create_directories(std::filesystem::path(Wide(path)));
}

inline void WriteBytes(const std::u16string& path, std::string_view bytes) {
  const UniqueFile file(CreateFileW(Wide(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file) << "cannot create a test file, error " << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_EQ(written, bytes.size());
}

// A fresh folder of its own below C:\, gone with the object.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::u16string_view name) : path_(u"C:\\kestrane-" + std::u16string(name)) {
    wine_host::RemoveTree(path_);
    MakeFolders(path_);
  }
  ~ScratchFolder() { wine_host::RemoveTree(path_); }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::u16string operator/(std::u16string_view child) const { return path_ + u"\\" + std::u16string(child); }
  const std::u16string& path() const { return path_; }

 private:
  std::u16string path_;
};
