#include "app/run_outcome.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/unit/sample_run_report.h"

namespace {

struct Case {
  UpdateOutcome outcome;
  RefreshCounts counts;
  const char16_t* queryFailure;
  const char16_t* driveFailure;
  int exitCode;
  platform::EventLevel level;
  uint32_t messageId;
  const char16_t* sentence;
};

RunReport Report(const Case& c, std::u16string log = u"line\r\n") {
  RunReport report = SampleRunReport(c.outcome, c.counts, std::move(log));
  report.error = c.outcome == UpdateOutcome::Stopped ? u"The specified path was not found." : u"";
  report.queryFailure = c.queryFailure;
  report.driveFailure = c.driveFailure;
  return report;
}

}  // namespace

TEST(RunOutcome, EachOutcomeHasItsExitCodeLevelIdAndSentences) {
  using platform::EventLevel;
  using enum UpdateOutcome;
  const Case cases[] = {
      {Updated,
       {.updated = 1},
       u"",
       u"",
       0,
       EventLevel::Information,
       0x40000064,
       u"The update completed: 1 file updated."},
      {Updated,
       {.updated = 2, .unchanged = 48},
       u"",
       u"",
       0,
       EventLevel::Information,
       0x40000064,
       u"The update completed: 2 files updated, 48 up to date."},
      {Incomplete,
       {.unchanged = 5, .failed = 1},
       u"",
       u"",
       3,
       EventLevel::Warning,
       0x80000067,
       u"The update completed, but 1 file could not be updated (0 updated, 5 up to date)."},
      {Stopped,
       {},
       u"",
       u"",
       2,
       EventLevel::Error,
       0xC0000066,
       u"The update was stopped by an error: The specified path was not found."},
      {NothingMatched,
       {},
       u"",
       u"",
       3,
       EventLevel::Warning,
       0x80000067,
       u"The update completed, but no file in the source folder matched the pattern tav*.exe."},
      {ClosedWhileWaiting,
       {},
       u"",
       u"",
       2,
       EventLevel::Error,
       0xC0000066,
       u"The window was closed while another update of the folder was running: nothing was updated."},
      {ClosedBeforeUpdate,
       {},
       u"",
       u"",
       2,
       EventLevel::Error,
       0xC0000066,
       u"The window was closed before the update began: nothing was updated."},
      // Leftovers that may hold a program the run could not bring are named, with what is missing.
      {Incomplete,
       {.updated = 1, .failed = 1, .keptLeftovers = {u"~kst0badf00d.tmp"}, .missing = {u"tavMENU.exe"}},
       u"",
       u"",
       3,
       EventLevel::Warning,
       0x80000067,
       u"The update completed, but 1 file could not be updated (1 updated). ~kst0badf00d.tmp, left by an earlier "
       u"update, was kept: it may be the only copy of tavMENU.exe, which is missing."},
      {Incomplete,
       {.failed = 2, .keptLeftovers = {u"~kst00000001.tmp", u"~kst00000002.tmp"}, .missing = {u"a.exe", u"b.exe"}},
       u"",
       u"",
       3,
       EventLevel::Warning,
       0x80000067,
       u"The update completed, but 2 files could not be updated (0 updated). ~kst00000001.tmp and ~kst00000002.tmp, "
       u"left by earlier updates, were kept: each may be the only copy of a.exe and b.exe, which are missing."},
      // The publisher check names each file it refused with what it found, and each it let through
      // without knowing whether the certificate was revoked.
      {Incomplete,
       {.updated = 1,
        .failed = 2,
        .refused = {u"tavB.exe (signed by Somebody Else)", u"tavC.exe (not signed)"},
        .revocationUnknown = {u"tavA.exe (signed by Tavirel Software)"}},
       u"",
       u"",
       3,
       EventLevel::Warning,
       0x80000067,
       u"The update completed, but 2 files could not be updated (1 updated). Not the pinned publisher's, so "
       u"not updated: tavB.exe (signed by Somebody Else) and tavC.exe (not signed). Updated, though the certificate's "
       u"revocation could not be checked offline: tavA.exe (signed by Tavirel Software)."},
      // The drive was not connected, yet the copy reached files (a connection left from before, or
      // another server's): no success, and the reason that the log line leaves out.
      {Incomplete,
       {.updated = 2},
       u"",
       u"Invalid password",
       3,
       EventLevel::Warning,
       0x80000067,
       u"The update completed, but not every file came from the share (2 updated). Drive G: was not connected: "
       u"Invalid password."},
      {Stopped,
       {},
       u"",
       u"Multiple connections to a server or shared resource by the same user are not allowed.",
       2,
       EventLevel::Error,
       0xC0000066,
       u"The update was stopped by an error: The specified path was not found. Drive G: was not connected: Multiple "
       u"connections to a server or shared resource by the same user are not allowed."},
      // What failed after a failed settings query failed for that reason: the query comes first.
      {Stopped,
       {},
       u"Login failed for user 'reader'",
       u"The network name cannot be found",
       2,
       EventLevel::Error,
       0xC0000066,
       u"The settings query failed: Login failed for user 'reader'. The update was stopped by an error: The specified "
       u"path was not found. Drive G: was not connected: The network name cannot be found."},
      {NothingMatched,
       {},
       u"No records found.",
       u"",
       3,
       EventLevel::Warning,
       0x80000067,
       u"The settings query failed: No records found. The update completed, but no file in the source folder matched "
       u"the pattern tav*.exe."},
  };
  for (const Case& c : cases) {
    const EventRecord record = EventRecordOf(Report(c));
    EXPECT_EQ(ExitCodeOf(c.outcome), c.exitCode) << ToUtf8(c.sentence);
    EXPECT_EQ(record.level, c.level) << ToUtf8(c.sentence);
    EXPECT_EQ(record.messageId, c.messageId) << ToUtf8(c.sentence);
    EXPECT_EQ(record.strings,
              (std::vector<std::u16string>{c.sentence, u"G:\\Tavirel", u"C:\\Users\\anna\\AppData\\Local\\tavirel",
                                           u"sqlserver01", u"line\r\n"}));
    EXPECT_EQ(WhatTheRecordSays(Report(c)), c.sentence);  // what the runs row is given
    EXPECT_EQ(OutcomeOnly(record).strings, (std::vector<std::u16string>{c.sentence, u"", u"", u"", u""}));
  }
  EXPECT_EQ(ExitCodeOf(std::nullopt), 0);  // no run was settled
}

// What the record adds after what happened: the lock the run went without, and the row it did not
// try; a row that failed later gets a warning of its own.
TEST(RunOutcome, TheLockAndTheRowFollowWhatHappened) {
  RunReport report = SampleRunReport(UpdateOutcome::Updated, {.updated = 1}, u"line\r\n");
  report.withoutLock = u" The update ran without the folder's lock ~kst.lock: Access denied.";
  report.rowFailure = u"The run's row was not written to dbo.Runs: why.";
  EXPECT_EQ(WhatTheRecordSays(report),
            u"The update completed: 1 file updated. The update ran without the folder's lock ~kst.lock: Access denied. "
            u"The run's row was not written to dbo.Runs: why.");
  const EventRecord warning = RowNotWrittenRecord(u"The run's row was not written to dbo.Runs: Timeout expired.");
  EXPECT_EQ(warning.level, platform::EventLevel::Warning);
  EXPECT_EQ(warning.messageId, 0x8000006Eu);
  EXPECT_EQ(warning.strings,
            std::vector<std::u16string>{u"The run's row was not written to dbo.Runs: Timeout expired."});
}

TEST(RunOutcome, TheCopysOutcomeFromItsCountsAndTheDrive) {
  using enum UpdateOutcome;
  const struct {
    RefreshCounts counts;
    bool connected;
    UpdateOutcome outcome;
  } cases[] = {
      {{.updated = 3}, true, Updated},
      {{.unchanged = 3}, true, Updated},
      {{.updated = 2, .failed = 1}, true, Incomplete},
      {{.updated = 3}, false, Incomplete},
      {{}, true, NothingMatched},
      {{}, false, NothingMatched},
  };
  for (const auto& c : cases) EXPECT_EQ(OutcomeOfCopy(c.counts, c.connected), c.outcome);
}

// The record's strings together stay within what the event log takes: a longer log keeps whole
// lines from both ends, where the first failures and the banner are.
TEST(RunOutcome, LogTooLongForOneRecordLosesWholeLinesFromItsMiddle) {
  const Case updated{UpdateOutcome::Updated, {.updated = 2000}, u"", u"", 0, {}, 0, u""};
  std::u16string log;
  for (int i = 0; i < 2000; ++i) log += u"tav" + FromUtf8(std::to_string(i)) + u".exe Updated Successfully.\r\n";
  ASSERT_GT(log.size(), kMostRecordCharacters);
  const EventRecord record = EventRecordOf(Report(updated, log));
  size_t total = 0;
  for (const std::u16string& string : record.strings) total += string.size();
  EXPECT_LE(total, kMostRecordCharacters);
  const std::u16string& kept = record.strings[4];
  EXPECT_EQ(kept.rfind(u"tav0.exe Updated Successfully.\r\n", 0), 0u);
  EXPECT_TRUE(kept.ends_with(u"\r\ntav1999.exe Updated Successfully.\r\n"));
  const size_t cut = kept.find(u"[... lines left out ...]\r\n");
  ASSERT_NE(cut, std::u16string::npos);
  EXPECT_TRUE(kept.substr(0, cut).ends_with(u"\r\n"));
  EXPECT_TRUE(kept.substr(cut).find(u"\r\ntav") != std::u16string::npos);

  const std::u16string shortLog = u"a\r\nb\r\n";
  EXPECT_EQ(EventRecordOf(Report(updated, shortLog)).strings[4], shortLog);
}
