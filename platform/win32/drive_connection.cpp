#include "platform/drive_connection.h"

#include <windows.h>
#include <winnetwk.h>

#include "platform/answering_call.h"
#include "platform/win32/wide.h"

namespace platform {

// A provider takes as long as its server to answer, tens of seconds for one that is unreachable: the
// calls run on a thread of their own while the window answers.
uint32_t CancelDriveConnection(const std::u16string& device) {
  uint32_t code = 0;
  CallAnswering([&] { code = WNetCancelConnection2W(Wide(device), 0, TRUE); });
  return code;
}

uint32_t AddDriveConnection(const std::u16string& device, const std::u16string& remotePath,
                            const std::u16string& password, const std::u16string& userName) {
  // The record takes writable pointers; the platform only reads through them.
  std::u16string localName = device;
  std::u16string remoteName = remotePath;
  NETRESOURCEW resource{};
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpLocalName = Wide(localName);
  resource.lpRemoteName = Wide(remoteName);
  uint32_t code = 0;
  CallAnswering([&] { code = WNetAddConnection2W(&resource, Wide(password), Wide(userName), 0); });
  return code;
}

}  // namespace platform
