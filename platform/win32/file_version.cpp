#include "platform/file_version.h"

#include <windows.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "platform/win32/wide.h"

namespace platform {

std::u16string FileVersion(const std::u16string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(Wide(path), &ignored);
  if (size == 0) return {};
  std::vector<BYTE> record(size);
  if (!GetFileVersionInfoW(Wide(path), 0, size, record.data())) return {};
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return {};
  }
  const auto text = [](DWORD part) { return std::to_string(part); };
  return FromAscii(text(HIWORD(fixed->dwFileVersionMS)) + "." + text(LOWORD(fixed->dwFileVersionMS)) + "." +
                   text(HIWORD(fixed->dwFileVersionLS)) + "." + text(LOWORD(fixed->dwFileVersionLS)));
}

}  // namespace platform
