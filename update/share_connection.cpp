#include "update/share_connection.h"

// PENDING: placeholder until the share connection lands.
bool MapNetworkDrive(const std::u16string&, const std::u16string&, const std::u16string&, const std::u16string&) {
  return false;
}
void DisconnectStep(const std::u16string& ServerFolder, ActivityLog& log) {
  log.AppendLine(u"Failed To Disconnect Drive " + ServerFolder + u":.");
}
void MapStep(const std::u16string&, const std::u16string&, const std::u16string&, const std::u16string&,
             ActivityLog& log) {
  log.AppendLine(u"Failed To Map Drive. Check Credentials And Try Again.");
}
