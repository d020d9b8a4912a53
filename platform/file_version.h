#pragma once

#include <string>

namespace platform {

// The file version that a program's version record carries, as "major.minor.build.revision";
// empty when there is no such file or it carries no version record.
std::u16string FileVersion(const std::u16string& path);

}  // namespace platform
