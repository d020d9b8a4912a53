#pragma once

#include <string>

#include "update/publisher_pin.h"
#include "update/refresh_mode.h"

// The settings of section [Kestrane] that steer a run, judged once, when the update begins, and
// carried with the run from there: no later step reads them again.
struct RunSettings {
  RefreshMode refresh = RefreshMode::All;
  std::u16string runsTable;         // bracket-quoted for the statement; empty asks for no row
  std::u16string runsTableAsNamed;  // as the settings file names it, for the record
  PublisherPin pin;                 // whose signature each fresh copy must carry
};

// Raises Exception for a value a run must not guess at (ParseRefreshMode, QuotedRunsTable; the pin
// is read by ParsePublisherPin, which raises likewise): the update stops before it touches anything.
RunSettings JudgeRunSettings(const std::u16string& refresh, const std::u16string& runsTable, PublisherPin pin);
