#pragma once

#include <string>

// Which listed files a refresh copies: every one, or only those whose local copy is missing or
// differs in size or last-write time.
enum class RefreshMode { All, Changed };

// The mode an administrator named in the settings file: "all" or "changed", in any letter case.
// Raises Exception for any other value, the empty one included: a run that guessed could copy
// far more, or far less, than the administrator meant.
RefreshMode ParseRefreshMode(const std::u16string& value);
