#pragma once

#include <cstdint>
#include <string>

#include "platform/rules/hold_rules.h"

namespace platform {

// What error, just met on opening or renaming path, says of whoever holds it (rules/hold_rules.h),
// asked of the folder's listing, which answers also for a file whose deletion is pending.
Hold HoldOf(uint32_t error, const std::u16string& path);

}  // namespace platform
