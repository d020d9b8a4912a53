#include "platform/profile.h"

#include <windows.h>

#include <algorithm>

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

}  // namespace platform
