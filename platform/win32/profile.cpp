#include "platform/profile.h"

#include <windows.h>

#include <algorithm>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {

std::u16string IniFile::ReadString(const std::u16string& section, const std::u16string& key,
                                   const std::u16string& defaultValue) const {
  // One character of the buffer holds the terminating null, so longer values arrive cut to 2047.
  constexpr DWORD kBufferCharacters = 2048;
  std::u16string value(kBufferCharacters, u'\0');
  const DWORD count = GetPrivateProfileStringW(Wide(section), Wide(key), Wide(defaultValue), Wide(value),
                                               kBufferCharacters, Wide(fileName_));
  value.resize(std::min(count, kBufferCharacters));
  return value;
}

bool IniFile::BeginsWithUtf8ByteOrderMark() const {
  const UniqueFile file(CreateFileW(Wide(fileName_), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
  unsigned char first[3] = {};
  DWORD read = 0;
  return file && ReadFile(file.get(), first, sizeof first, &read, nullptr) && read == sizeof first &&
         first[0] == 0xEF && first[1] == 0xBB && first[2] == 0xBF;
}

}  // namespace platform
