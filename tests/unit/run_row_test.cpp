#include "app/run_row.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"

TEST(RunRow, FirstErrorIsTheLogsFirstFailureLineElseTheReportedError) {
  const struct {
    std::u16string log, reported, expected;
  } cases[] = {
      {u"", u"", u""},
      {u"Failed To Disconnect Drive G:.\r\nDrive Mapped Successfully.\r\ntavA.exe Updated Successfully.\r\n", u"", u""},
      // A first run's disconnect failure is no failure of the run.
      {u"Failed To Disconnect Drive G:.\r\nDrive Mapped Successfully.\r\n", u"The specified path was not found.",
       u"The specified path was not found."},
      {u"Drive Mapped Successfully.\r\nError copying file tavA.exe: Access denied\r\nError copying file tavB.exe: "
       u"Sharing violation\r\n",
       u"", u"Error copying file tavA.exe: Access denied"},
      // The drive that could not be mapped is why the folder was then missing.
      {u"Failed To Disconnect Drive G:.\r\nFailed To Map Drive. Check Credentials And Try Again.\r\n",
       u"The specified path was not found.", u"Failed To Map Drive. Check Credentials And Try Again."},
      {u"tavA.exe Is Up To Date.\r\nError copying file tavB.exe: Disk full", u"",
       u"Error copying file tavB.exe: Disk full"},
  };
  for (const auto& c : cases) EXPECT_EQ(FirstError(c.log, c.reported), c.expected) << ToUtf8(c.log);
}

TEST(RunRow, TheStatementHasOneMarkerPerValueAndNoValueInItsText) {
  const RunRow row{.runAt = {2026, 12, 11, 3, 4, 5, 6},
                   .workstation = u"WS-0042",
                   .userName = u"anna",
                   .exitCode = 3,
                   .outcome = u"The update completed, but 1 file could not be updated (2 updated).",
                   .updated = 2,
                   .upToDate = 0,
                   .failed = 1,
                   .sourceFolder = u"G:\\Tavirel",
                   .suiteVersion = u"7.6.5.4",
                   .kestraneVersion = u"1.0.0.0",
                   .seconds = 12,
                   .firstError = u"Error copying file tavB.exe: Access denied"};
  const std::u16string statement = InsertStatement(u"[dbo].[KestraneRuns]");
  EXPECT_EQ(statement,
            u"INSERT INTO [dbo].[KestraneRuns] (RunAt, Workstation, UserName, ExitCode, Outcome, Updated, UpToDate, "
            u"Failed, SourceFolder, SuiteVersion, KestraneVersion, Seconds, FirstError) VALUES (?, ?, ?, ?, ?, ?, ?, "
            u"?, ?, ?, ?, ?, ?)");
  const auto values = RowValues(row);
  EXPECT_EQ(values.size(), 13u);
  EXPECT_EQ(std::get<std::u16string>(values[1]), u"WS-0042");
  EXPECT_EQ(std::get<int32_t>(values[3]), 3);
  EXPECT_EQ(std::get<int32_t>(values[7]), 1);
  EXPECT_EQ(std::get<std::u16string>(values[12]), u"Error copying file tavB.exe: Access denied");
}

// Each text is cut to its column's width in the shipped table (tests/sql ties the two), never
// between the halves of a character; numbers and the time are left alone.
TEST(RunRow, TextsAreCutToTheirColumnsWidths) {
  const RunRow row{.runAt = {2026, 12, 11, 3, 4, 5, 6},
                   .workstation = std::u16string(63, u'w') + u"\U0001F600",  // the pair would end past 64
                   .userName = u"anna",
                   .exitCode = 3,
                   .outcome = std::u16string(2001, u'o'),
                   .updated = 1,
                   .upToDate = 2,
                   .failed = 3,
                   .sourceFolder = u"G:\\Tavirel",
                   .suiteVersion = u"7.6.5.4",
                   .kestraneVersion = u"1.0.0.0",
                   .seconds = 4,
                   .firstError = std::u16string(2000, u'e')};
  const auto values = RowValues(row);
  EXPECT_EQ(std::get<std::u16string>(values[1]), std::u16string(63, u'w'));
  EXPECT_EQ(std::get<std::u16string>(values[4]), std::u16string(2000, u'o'));
  EXPECT_EQ(std::get<std::u16string>(values[12]), std::u16string(2000, u'e'));
  EXPECT_EQ(std::get<std::u16string>(values[9]), u"7.6.5.4");
  EXPECT_EQ(std::get<int32_t>(values[7]), 3);
}
