#include "shortcut/shortcut.h"

#include "platform/shell.h"

// TargetPath, ShortcutName and DesktopPath keep their documented names.
void CreateShortcut(const std::u16string& TargetPath, const std::u16string& ShortcutName) {
  const std::u16string DesktopPath = platform::UserDesktopFolder();
  const auto shellLink = platform::ShellLink::Create();
  shellLink->SetPath(TargetPath);
  shellLink->Save(DesktopPath + u"\\" + ShortcutName + u".lnk");
}
