#pragma once

#include <string>

// The full path of path, as the platform expands it. A last error other than 0 or "file not
// found" after the expansion raises ENotSupportedException with the system's text for it.
std::u16string FullPathOf(const std::u16string& path);
