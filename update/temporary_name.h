#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The name a copy has beside its target until it takes the target's place: "~kst", eight
// lower-case hexadecimal digits of number, ".tmp".
std::u16string TemporaryName(uint32_t number);

// Whether name is exactly of that form, and so can only be a copy of this program's making.
bool IsTemporaryName(std::u16string_view name);
