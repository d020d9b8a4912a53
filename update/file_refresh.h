#pragma once

#include <string>

#include "base/slots.h"

// Copies every file of sourceFolder whose name matches pattern into destFolder, one log line per
// file, then the completion banner. Raises only out of the listing.
void CopyFilesWithPattern(const std::u16string& sourceFolder, const std::u16string& pattern,
                          const std::u16string& destFolder, ActivityLog& memo);
