#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The names of the files a run makes beside its targets. Any of them found by a later run is a
// leftover of one that was broken off midway (sign-out, power loss, "End task").

// A copy until it takes its target's place: "~kst", eight lower-case hexadecimal digits of number,
// ".tmp".
std::u16string TemporaryName(uint32_t number);

// Whether name is exactly of that form, and so can only be a copy of this program's making.
bool IsTemporaryName(std::u16string_view name);

// Where a target in use is moved aside so that its fresh copy can take its name: beside it, as
// "~kst", eight digits, "~", the target's name, ".tmp". A run that finds it with its target missing
// holds the only copy of that program and puts it back. Nothing when that does not fit: a name past
// the 255 characters a file name may have, or a path that reaches kFilePathLimit. Such a target is
// never set aside: under a name that does not tell its target it could be taken for a leftover copy,
// and the only copy of a program lost with it.
std::optional<std::u16string> SetAsidePath(uint32_t number, std::u16string_view target);

// The target's name that a set-aside name carries; nothing for every other name.
std::optional<std::u16string> SetAsideTarget(std::u16string_view name);

// Either form: a file of this program's making that a finished run never leaves behind.
bool IsLeftoverName(std::u16string_view name);
