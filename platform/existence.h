#pragma once

#include <string>

namespace platform {

// The two existence tests, links followed, shared by the settings file loader and the file
// operations. Neither raises: an unreadable path is decided by the rules of the test.
bool DirectoryExists(const std::u16string& path);
bool FileExists(const std::u16string& path);

}  // namespace platform
