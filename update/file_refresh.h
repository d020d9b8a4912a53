#pragma once

#include <string>
#include <vector>

#include "base/slots.h"
#include "update/publisher_pin.h"
#include "update/refresh_mode.h"

// How many of the listed files the copy updated, found up to date (only with RefreshMode::Changed)
// and could not update.
struct RefreshCounts {
  int updated = 0;
  int unchanged = 0;
  int failed = 0;
  // Leftovers in the plain form kept, as a listed file is missing locally (missing) and any of them
  // may be its only copy.
  std::vector<std::u16string> keptLeftovers{};
  std::vector<std::u16string> missing{};
  // Of the failed, those the publisher check refused, each as its name and what was found
  // ("tavX.exe (not signed)").
  std::vector<std::u16string> refused = {};
  // Of the updated, those whose certificate's revocation could not be checked offline, likewise.
  std::vector<std::u16string> revocationUnknown = {};
  // None at all: the source folder held no file that matched the pattern.
  bool NoneListed() const { return updated + unchanged + failed == 0; }
};

// Copies the files of sourceFolder whose names match pattern into destFolder (every one, or with
// RefreshMode::Changed only those whose local copy is missing or differs), one log line per file,
// then the completion banner. Raises only out of the listing of sourceFolder. Leftovers of broken-off
// runs in destFolder are put back before the copy, and removed after it (local_copies.h). With an
// active pin, each fresh copy of a file it checks must be the pinned publisher's before it takes its
// name; a refused one leaves the local copy as it was and counts as failed.
RefreshCounts CopyFilesWithPattern(const std::u16string& sourceFolder, const std::u16string& pattern,
                                   const std::u16string& destFolder, RefreshMode mode, ActivityLog& memo,
                                   const PublisherPin& pin = {});
