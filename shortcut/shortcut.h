#pragma once

#include <string>

// Writes ShortcutName + ".lnk" on the user's own desktop, pointing at TargetPath.
void CreateShortcut(const std::u16string& TargetPath, const std::u16string& ShortcutName);
