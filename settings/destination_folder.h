#pragma once

#include <string>

// The per-user folder that the refreshed files are copied into: fixed drive, profile root and tail
// around the sign-in name, never looked up from the environment.
std::u16string DestinationFolder(const std::u16string& userName);
