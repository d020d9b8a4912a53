#include "platform/drive_connection.h"

#include <windows.h>
#include <winnetwk.h>

#include "platform/win32/wide.h"

namespace platform {

uint32_t CancelDriveConnection(const std::u16string& device) { return WNetCancelConnection2W(Wide(device), 0, TRUE); }

uint32_t AddDriveConnection(const std::u16string& device, const std::u16string& remotePath,
                            const std::optional<ShareAccount>& account) {
  // The record takes writable pointers; the platform only reads through them.
  std::u16string localName = device;
  std::u16string remoteName = remotePath;
  NETRESOURCEW resource{};
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpLocalName = Wide(localName);
  resource.lpRemoteName = Wide(remoteName);
  if (!account) return WNetAddConnection2W(&resource, nullptr, nullptr, 0);
  return WNetAddConnection2W(&resource, Wide(account->password), Wide(account->userName), 0);
}

}  // namespace platform
