#include "platform/user_name.h"

#include <windows.h>

#include <cwchar>

#include "platform/win32/wide.h"

namespace platform {

std::optional<std::u16string> AccountName() {
  // The buffer and its count keep their documented names.
  wchar_t UserName[256] = {};
  DWORD Size = 256;
  if (!GetUserNameW(UserName, &Size)) return std::nullopt;
  return FromWide(UserName, wcsnlen(UserName, 256));
}

}  // namespace platform
