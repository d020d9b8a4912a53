#pragma once

#include <string>

// The settings slots: the edit fields through which every value passes from one step of the run
// to the next. The window implements this; the steps read and write through it. The names are the
// fields' own; each says what it holds.
enum class Slot {
  Edit1,   // the source folder as shown to the user ("MAP DRIVE :"): SourceFolder, after the query
  Edit2,   // the database server as shown to the user ("SERVER IP :"): Edit4, after the query
  Edit3,   // the destination folder, the user's local copy
  Edit4,   // database server, from the settings file
  Edit5,   // database user, from the settings file
  Edit6,   // database password, from the settings file
  Edit7,   // database name, from the settings file
  Edit8,   // database provider name, from the settings file
  Edit9,   // the settings query's status text, then the file server (column FTPHost)
  Edit10,  // user name for the share (FTPUser)
  Edit11,  // password for the share (FTPPswd)
  Edit12,  // share name on the file server, also the local drive letter without colon (FTPPath)
  Edit13,  // file-name pattern of what is copied (DownloadPath)
  Edit14   // folder on the drive, after the drive letter and colon (TempEXEPath)
};

class SlotStore {
 public:
  virtual ~SlotStore() = default;
  virtual std::u16string Read(Slot slot) const = 0;
  virtual void Write(Slot slot, const std::u16string& text) = 0;
};

// The folder the files are copied from: the drive letter, a colon and the folder on the share.
inline std::u16string SourceFolder(const SlotStore& slots) {
  return slots.Read(Slot::Edit12) + u":" + slots.Read(Slot::Edit14);
}

// The activity log: lines appended at its end, one at a time.
class ActivityLog {
 public:
  virtual ~ActivityLog() = default;
  virtual void AppendLine(const std::u16string& line) = 0;
};
