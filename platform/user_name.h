#pragma once

#include <optional>
#include <string>

namespace platform {

// The sign-in name of the account the program runs under, as the platform gives it (at most 255
// characters); nothing when the lookup fails.
std::optional<std::u16string> AccountName();

}  // namespace platform
