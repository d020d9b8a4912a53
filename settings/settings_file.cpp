#include "settings/settings_file.h"

#include "base/text.h"
#include "platform/existence.h"
#include "platform/profile.h"

std::u16string gCmnConnector, gCmnHost, gCmnUser, gCmnPswd, gCmnDBName, gSvrCatCode;
std::u16string gKestraneRefresh = u"all";
std::u16string gSettingsFileFault;
std::u16string gKestraneRunsTable;
std::u16string gKestranePublisher, gKestranePublisherThumbprint, gKestraneUnsigned;
std::u16string gKestraneAuthentication = u"SQL";

// The working values keep their documented names (wDir1 ... MyIniFile).
bool sfg_ReadSysReg() {
  // Fixed places on purpose: the file belongs to the machine, not to the user's environment.
  const std::u16string wDir1 = u"C:\\Program Files";
  const std::u16string wDir2 = u"C:\\Program Files (x86)";
  const std::u16string wFolder1 = u"\\Common Files\\Microsoft Shared";
  const std::u16string wFolder2 = u"\\VUZuze16";

  // Only the chosen root is searched: when both exist, the (x86) one wins even if it lacks the file.
  std::u16string wDirName;
  if (platform::DirectoryExists(wDir1)) wDirName = wDir1;
  if (platform::DirectoryExists(wDir2)) wDirName = wDir2;
  if (Trim(wDirName).empty()) return false;

  std::u16string wFullName = wDirName + wFolder1;
  if (!platform::DirectoryExists(wFullName)) return false;
  wFullName = wDirName + wFolder1 + wFolder2;
  if (!platform::DirectoryExists(wFullName)) return false;
  const std::u16string wFileName = wFullName + u"\\VUZuze16.cnf";
  if (!platform::FileExists(wFileName)) return false;

  // Each value lands in its setting as soon as it is read, so a failing read keeps the earlier ones.
  const platform::IniFile MyIniFile(wFileName);
  // Saved as UTF-8 with a byte-order mark (Notepad before Windows 10 1903, Windows PowerShell's
  // -Encoding UTF8), the file loses its first section on Windows and keeps it under Wine: the
  // values are read as the system reads them, and the update stops with what to do about it.
  gSettingsFileFault = MyIniFile.BeginsWithUtf8ByteOrderMark()
                           ? u"VUZuze16.cnf is saved as UTF-8 with a byte-order mark, which Windows does not read: "
                             u"save it as ANSI, or as Unicode (UTF-16 LE)"
                           : u"";
  gCmnConnector = MyIniFile.ReadString(u"Common", u"Connector", u"SQLOLEDB.1");
  gCmnHost = MyIniFile.ReadString(u"Common", u"Host", u"");
  gCmnUser = MyIniFile.ReadString(u"Common", u"User", u"");
  gCmnPswd = MyIniFile.ReadString(u"Common", u"Pswd", u"");
  gCmnDBName = MyIniFile.ReadString(u"Common", u"DBName", u"");
  gSvrCatCode = MyIniFile.ReadString(u"Common", u"SvrCat", u"");
  // Read as written, and judged only by the update step: a value it does not know stops the update,
  // never the connection settings.
  gKestraneRefresh = MyIniFile.ReadString(u"Kestrane", u"Refresh", u"all");
  gKestraneRunsTable = MyIniFile.ReadString(u"Kestrane", u"RunsTable", u"");
  gKestranePublisher = MyIniFile.ReadString(u"Kestrane", u"Publisher", u"");
  gKestranePublisherThumbprint = MyIniFile.ReadString(u"Kestrane", u"PublisherThumbprint", u"");
  gKestraneUnsigned = MyIniFile.ReadString(u"Kestrane", u"Unsigned", u"");
  gKestraneAuthentication = MyIniFile.ReadString(u"Kestrane", u"Authentication", u"SQL");
  return true;
}
