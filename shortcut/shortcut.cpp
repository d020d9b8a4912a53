#include "shortcut/shortcut.h"

// PENDING: placeholder until the shortcut command lands.
void CreateShortcut(const std::u16string&, const std::u16string&) {}
