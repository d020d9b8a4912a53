#pragma once

#include <string>

#include "app/run_outcome.h"
#include "base/slots.h"

// The short waits of the row's own connection: a database that answered the settings query but not
// the row costs the run's end a few seconds at most.
inline constexpr unsigned kRowLoginTimeoutSeconds = 3;
inline constexpr unsigned kRowStatementTimeoutSeconds = 3;

// Leaves the run's row in quotedTable, on a connection of its own made as the settings query's,
// while the window answers; the row's outcome is the first string of the run's event record.
// Returns nothing when the row was written, else the driver's text of why it was not. Never raises:
// the row never changes the run or its exit code.
std::u16string WriteRunRow(const RunReport& report, const std::u16string& quotedTable, const SlotStore& slots);
