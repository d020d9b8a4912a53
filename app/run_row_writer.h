#pragma once

#include <string>

#include "app/run_outcome.h"
#include "base/slots.h"

// Leaves the run's row in the table that RunsTable names, when it names one, on a connection of its
// own made as the settings query's, while the window answers. outcomeSentence is the first string
// of the run's event record. Returns what that record adds: nothing when the row was written or
// none was asked for, else a sentence that says it was not and why. Never raises: the row never
// changes the run or its exit code.
std::u16string WriteRunRow(const RunReport& report, const std::u16string& outcomeSentence, const SlotStore& slots);
