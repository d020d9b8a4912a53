#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

// A throwaway folder under the temporary folder, removed with everything in it at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    path_ = std::filesystem::path(temp) / (name + L"-" + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::u16string Text() const {
    const std::wstring text = path_.wstring();
    return std::u16string(text.begin(), text.end());
  }

 private:
  std::filesystem::path path_;
};
