#pragma once

#include <string>

// The application title, the error report's caption: the executable's file name without folder,
// cut before its first ".", every character after the first in lower case.
std::u16string ApplicationTitle(const std::u16string& executablePath);
