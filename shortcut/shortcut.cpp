#include "shortcut/shortcut.h"

#include "platform/shell.h"

void CreateShortcut(const std::u16string& TargetPath, const std::u16string& ShortcutName) {
  const std::u16string DesktopPath = platform::UserDesktopFolder();
  const auto ShellLink = platform::ShellLink::Create();
  ShellLink->SetPath(TargetPath);
  ShellLink->Save(DesktopPath + u"\\" + ShortcutName + u".lnk");
}
