#pragma once

#include <string>

// The name of the account the program runs under, or "Error retrieving username". Never raises.
// Keep <windows.h> out of files that include this: it renames GetUserName.
std::u16string GetUserName();
