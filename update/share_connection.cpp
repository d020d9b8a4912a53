#include "update/share_connection.h"

#include "platform/drive_connection.h"

// The share's values keep their documented names (RemotePath, DriveLetter, ServerIP ...).
bool MapNetworkDrive(const std::u16string& RemotePath, const std::u16string& DriveLetter,
                     const std::u16string& UserName, const std::u16string& Password) {
  const uint32_t ResultCode = platform::AddDriveConnection(DriveLetter + u":", RemotePath, Password, UserName);
  return ResultCode == 0;
}

void DisconnectStep(const std::u16string& ServerFolder, ActivityLog& log) {
  if (platform::CancelDriveConnection(ServerFolder + u":") == 0)
    log.AppendLine(u"Drive " + ServerFolder + u": Disconnected Successfully.");
  else
    log.AppendLine(u"Failed To Disconnect Drive " + ServerFolder + u":.");
}

void MapStep(const std::u16string& ServerIP, const std::u16string& ServerFolder, const std::u16string& ServerUser,
             const std::u16string& ServerPassword, ActivityLog& log) {
  const std::u16string RemotePath = u"\\\\" + ServerIP + u"\\" + ServerFolder;
  if (MapNetworkDrive(RemotePath, ServerFolder, ServerUser, ServerPassword))
    log.AppendLine(u"Drive Mapped Successfully.");
  else
    log.AppendLine(u"Failed To Map Drive. Check Credentials And Try Again.");
}
