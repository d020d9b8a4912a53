#pragma once

#include <string>

#include "base/slots.h"

// How many of the listed files the copy updated, and how many it could not.
struct RefreshCounts {
  int updated = 0;
  int failed = 0;
};

// Copies every file of sourceFolder whose name matches pattern into destFolder, one log line per
// file, then the completion banner. Raises only out of the listing.
RefreshCounts CopyFilesWithPattern(const std::u16string& sourceFolder, const std::u16string& pattern,
                                   const std::u16string& destFolder, ActivityLog& memo);
