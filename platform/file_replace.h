#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Copies source over target without ever leaving target half-written: the bytes go to a new file
// beside target first, which then takes target's place in one step. Returns 0, or the platform's
// error code of the step that failed; on failure target is as it was and no temporary file
// remains.
uint32_t ReplaceWithCopy(const std::u16string& source, const std::u16string& target);

}  // namespace platform
