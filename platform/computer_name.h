#pragma once

#include <string>

namespace platform {

// The computer's name as the network knows it (its NetBIOS name); empty when the lookup fails.
std::u16string ComputerName();

}  // namespace platform
