#include "update/share_connection.h"

#include "platform/answering.h"
#include "platform/drive_connection.h"

// The share's values keep their documented names (RemotePath, DriveLetter, ServerIP ...).
uint32_t MapNetworkDrive(const std::u16string& RemotePath, const std::u16string& DriveLetter,
                         const std::u16string& UserName, const std::u16string& Password) {
  // No user name: the signed-in user's own Windows credentials, and no password of the row's.
  if (UserName.empty()) return platform::AddDriveConnection(DriveLetter + u":", RemotePath, std::nullopt);
  return platform::AddDriveConnection(DriveLetter + u":", RemotePath,
                                      platform::ShareAccount{.userName = UserName, .password = Password});
}

void DisconnectStep(const std::u16string& ServerFolder, ActivityLog& log) {
  uint32_t ResultCode = 0;
  platform::CallAnswering([&] { ResultCode = platform::CancelDriveConnection(ServerFolder + u":"); });
  if (ResultCode == 0)
    log.AppendLine(u"Drive " + ServerFolder + u": Disconnected Successfully.");
  else
    log.AppendLine(u"Failed To Disconnect Drive " + ServerFolder + u":.");
}

uint32_t MapStep(const std::u16string& ServerIP, const std::u16string& ServerFolder, const std::u16string& ServerUser,
                 const std::u16string& ServerPassword, ActivityLog& log) {
  const std::u16string RemotePath = u"\\\\" + ServerIP + u"\\" + ServerFolder;
  uint32_t ResultCode = 0;
  platform::CallAnswering([&] { ResultCode = MapNetworkDrive(RemotePath, ServerFolder, ServerUser, ServerPassword); });
  if (ResultCode == 0)
    log.AppendLine(u"Drive Mapped Successfully.");
  else
    log.AppendLine(u"Failed To Map Drive. Check Credentials And Try Again.");
  return ResultCode;
}
