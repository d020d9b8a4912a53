#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/event_log.h"
#include "update/file_refresh.h"

// How a run that attempted the update ended. Each outcome has its exit code, which logon scripts,
// scheduled tasks and deployment tools read, and its Application event-log record.
enum class UpdateOutcome {
  Updated,             // the banner was reached and every matching file was updated or up to date
  Stopped,             // an error ended the update and was reported
  Incomplete,          // the banner was reached, but one or more files could not be updated
  NothingMatched,      // the banner was reached, but no file of the source folder matched the pattern
  ClosedWhileWaiting,  // the user closed the window while another update of the folder ran
  ClosedBeforeUpdate,  // the user closed the window before the update began
};

// The messages of messages.mc, by their full ids: the severity in the top two bits, the event id
// that Event Viewer shows (100 + the exit code) in the low word.
inline constexpr uint32_t kMessageUpdateCompleted = 0x40000064;
inline constexpr uint32_t kMessageUpdateStopped = 0xC0000066;
inline constexpr uint32_t kMessageUpdateIncomplete = 0x80000067;
// And the warning that a run's row could not be written, which follows its record.
inline constexpr uint32_t kMessageRunRowNotWritten = 0x8000006E;

// What an outcome is to the system: one row each, in the order of UpdateOutcome.
struct OutcomeKind {
  UpdateOutcome outcome;
  int exitCode;
  platform::EventLevel level;
  uint32_t messageId;
};
inline constexpr OutcomeKind kOutcomeKinds[] = {
    {UpdateOutcome::Updated, 0, platform::EventLevel::Information, kMessageUpdateCompleted},
    {UpdateOutcome::Stopped, 2, platform::EventLevel::Error, kMessageUpdateStopped},
    {UpdateOutcome::Incomplete, 3, platform::EventLevel::Warning, kMessageUpdateIncomplete},
    {UpdateOutcome::NothingMatched, 3, platform::EventLevel::Warning, kMessageUpdateIncomplete},
    {UpdateOutcome::ClosedWhileWaiting, 2, platform::EventLevel::Error, kMessageUpdateStopped},
    {UpdateOutcome::ClosedBeforeUpdate, 2, platform::EventLevel::Error, kMessageUpdateStopped},
};

constexpr const OutcomeKind& KindOf(UpdateOutcome outcome) { return kOutcomeKinds[static_cast<size_t>(outcome)]; }

// Each row stands in its outcome's place, its event id is 100 + its exit code, and its severity bits
// are its level's.
constexpr bool OutcomeKindsAgree() {
  for (size_t i = 0; i < std::size(kOutcomeKinds); ++i) {
    const OutcomeKind& kind = kOutcomeKinds[i];
    const uint32_t severity = kind.level == platform::EventLevel::Information ? 1
                              : kind.level == platform::EventLevel::Warning   ? 2
                                                                              : 3;
    if (static_cast<size_t>(kind.outcome) != i || (kind.messageId & 0xFFFF) != 100u + kind.exitCode ||
        kind.messageId >> 30 != severity) {
      return false;
    }
  }
  return true;
}
static_assert(OutcomeKindsAgree());

// The process's exit code: 0 for Updated, 2 for an update stopped, given up or never begun (the user
// closed the window first), 3 for one that reached the banner without bringing every file; 0 for a
// window that never settled a run. 1 is the window that could not be created, decided before there
// is a run.
int ExitCodeOf(std::optional<UpdateOutcome> outcome);

// One record of the Application event log: what Event Viewer lists it as, and the strings its
// message (messages.mc) shows: what happened, the source folder, the destination folder, the
// database server and the activity log.
struct EventRecord {
  platform::EventLevel level;
  uint32_t messageId;
  std::vector<std::u16string> strings;
};

// What the record of a run tells. It holds no password: neither the database's nor the share's
// reaches any of these fields.
struct RunReport {
  UpdateOutcome outcome = UpdateOutcome::Stopped;
  RefreshCounts counts;         // what the copy counted; zero when it never ran
  std::u16string error;         // the reported error's text, for Stopped
  std::u16string queryFailure;  // the settings query's failure (SettingsQueryResult); empty when it read its row
  std::u16string drive;         // the drive letter with its colon
  std::u16string driveFailure;  // the system's text for the failed map step; empty when it connected
  std::u16string pattern;       // the file name pattern of the source folder
  std::u16string withoutLock;   // " The update ran without the folder's lock ..." when it did
  std::u16string rowFailure;    // "The run's row was not written ..." when no row was tried
  std::u16string source;        // the source folder as the window showed it
  std::u16string destination;
  std::u16string databaseServer;
  std::u16string activityLog;  // the whole log as the window showed it, lines ending in CR LF
  int seconds = 0;             // from the program's start until the outcome was settled
};

// The outcome of a run whose copy reached the banner, from what it counted and whether the drive
// was connected: files the run never reached, however it reached the others, are no success.
UpdateOutcome OutcomeOfCopy(const RefreshCounts& counts, bool driveConnected);

// The record's strings hold at most this many characters together (each at most 31,839, as the
// event log takes them): a longer activity log loses lines from its middle, never its first or
// last ones.
inline constexpr size_t kMostRecordCharacters = 31000;

// The record of a run.
EventRecord EventRecordOf(const RunReport& report);

// The record's first string alone: what happened, in a sentence or three.
std::u16string WhatTheRecordSays(const RunReport& report);

// The record with what happened alone, for a log that refused the whole record.
EventRecord OutcomeOnly(const EventRecord& record);

// The warning that follows a run's record when its row could not be written: the sentence that says
// so alone.
EventRecord RowNotWrittenRecord(const std::u16string& sentence);
