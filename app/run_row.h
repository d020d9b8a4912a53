#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/database_statement.h"

// What a run leaves in the site's table of runs, so that one query answers for the whole fleet. It
// holds no password: neither the database's nor the share's reaches any of these fields.
struct RunRow {
  platform::UtcTime runAt;  // when the program started
  std::u16string workstation;
  std::u16string userName;
  int32_t exitCode;
  std::u16string outcome;  // the sentence of the run's event record
  int32_t updated, upToDate, failed;
  std::u16string sourceFolder;
  std::u16string suiteVersion;  // of the suite's menu program in the destination; empty without one
  std::u16string kestraneVersion;
  int32_t seconds;  // from the program's start until the run's outcome was settled
  std::u16string firstError;
};

// The INSERT of one row into quotedTable, its columns named and each value a "?" parameter in the
// order of RowValues, each text cut to what its column of the shipped table keeps.
std::u16string InsertStatement(const std::u16string& quotedTable);
std::vector<platform::StatementValue> RowValues(const RunRow& row);

// The first line of the log that tells of a failure (the drive that could not be mapped, a file
// that could not be copied), else the error that stopped the update, else empty.
std::u16string FirstError(const std::u16string& activityLog, const std::u16string& reportedError);

// What the run's event record, or the warning after it, says when its row was not written: the
// table and why.
std::u16string RowNotWrittenSentence(const std::u16string& table, const std::u16string& why);
