#include "platform/computer_name.h"

#include <windows.h>

#include "platform/win32/wide.h"

namespace platform {

std::u16string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return FromWide(name, size);
}

}  // namespace platform
