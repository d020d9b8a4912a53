#include "platform/system_error.h"

#include <windows.h>

#include "base/text.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

static_assert(platform::kErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(platform::kErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(platform::kErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(platform::kErrorNotReady == ERROR_NOT_READY);
static_assert(platform::kErrorSharingViolation == ERROR_SHARING_VIOLATION);
static_assert(platform::kErrorBadNetworkPath == ERROR_BAD_NETPATH);
static_assert(platform::kErrorBadNetworkName == ERROR_BAD_NET_NAME);
static_assert(platform::kErrorInvalidName == ERROR_INVALID_NAME);
static_assert(platform::kErrorBadPathName == ERROR_BAD_PATHNAME);
static_assert(platform::kErrorFileExists == ERROR_FILE_EXISTS);
static_assert(platform::kErrorAlreadyExists == ERROR_ALREADY_EXISTS);

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
