#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_log.h"
#include "update/file_refresh.h"

// How a run that attempted the update ended. Each outcome has its own exit code, which logon
// scripts, scheduled tasks and deployment tools read, and its own event-log record.
enum class UpdateOutcome {
  Updated,     // the banner was reached and every matching file was updated
  Stopped,     // an error ended the update and was reported
  Incomplete,  // the banner was reached, but one or more files could not be updated
};

// The process's exit code: 0 for Updated and for a run that never attempted the update (the user
// closed the window first), 2 for Stopped, 3 for Incomplete. 1 is the window that could not be
// created, decided before there is a run.
int ExitCodeOf(std::optional<UpdateOutcome> outcome);

// One record of the Application event log: what Event Viewer lists it as, and the strings its
// message (messages.mc) shows: the outcome in one sentence, the source folder, the destination
// folder, the database server and the activity log.
struct EventRecord {
  platform::EventLevel level;
  uint32_t eventId;  // 100 + the exit code: 100, 102, 103
  std::vector<std::u16string> strings;
};

// What the record of a run tells. It holds no password: neither the database's nor the share's
// reaches any of these fields.
struct RunReport {
  UpdateOutcome outcome;
  RefreshCounts counts;   // what the copy counted; zero when it never ran
  std::u16string error;   // the reported error's text, for Stopped
  std::u16string source;  // the source folder as the window showed it
  std::u16string destination;
  std::u16string databaseServer;
  std::u16string activityLog;  // the whole log as the window showed it, lines ending in CR LF
};

// The record of a run. A log longer than one string of a record holds loses lines from its middle,
// never its first or last ones.
EventRecord EventRecordOf(const RunReport& report);
