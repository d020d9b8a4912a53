#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The operating system's message text for an error code, with trailing full stops and characters
// of code 32 or below removed; empty when the system has no text for the code. The one place
// that formats system errors.
std::u16string SystemErrorText(uint32_t code);

}  // namespace platform
