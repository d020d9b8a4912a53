#include "platform/system_error.h"

#include <windows.h>

#include "base/text.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

namespace platform {

std::u16string SystemErrorText(uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD flags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ARGUMENT_ARRAY |
                      FORMAT_MESSAGE_ALLOCATE_BUFFER;
  const DWORD length = FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  UniqueLocal owner(buffer);
  if (length == 0 || !buffer) return {};
  return TrimTrailingStopsAndBlanks(FromWide(buffer, length));
}

}  // namespace platform
