#include "app/run_row_writer.h"

#include <exception>

#include "app/run_row.h"
#include "base/exception.h"
#include "base/text.h"
#include "platform/answering.h"
#include "platform/computer_name.h"
#include "platform/file_version.h"
#include "platform/process_clock.h"
#include "settings/runs_table.h"
#include "settings/settings_file.h"
#include "settings/upgrade_query.h"
#include "settings/user_name.h"

std::u16string WriteRunRow(const RunReport& report, const std::u16string& outcomeSentence, const SlotStore& slots) {
  std::u16string table;
  try {
    table = QuotedRunsTable(gKestraneRunsTable);
  } catch (const Exception& error) {
    // Mostly the very error that stopped the update, which the record tells already.
    if (report.error.starts_with(error.Message())) return {};
    return RowNotWrittenSentence(gKestraneRunsTable, error.Message());
  }
  if (table.empty()) return {};
  const RunRow row{.runAt = platform::ProcessStartTime(),
                   .workstation = platform::ComputerName(),
                   .userName = GetUserName(),
                   .exitCode = ExitCodeOf(report.outcome),
                   .outcome = outcomeSentence,
                   .updated = report.counts.updated,
                   .upToDate = report.counts.unchanged,
                   .failed = report.counts.failed,
                   .sourceFolder = report.source,
                   .suiteVersion = platform::FileVersion(report.destination + u"\\tavMENU.exe"),
                   .kestraneVersion = FromAscii(KESTRANE_VERSION),
                   .seconds = platform::SecondsSinceProcessStart(),
                   .firstError = FirstError(report.activityLog, report.error)};
  try {
    platform::CallAnswering(
        [&] { platform::ExecuteStatement(SettingsConnectionString(slots), InsertStatement(table), RowValues(row)); });
    return {};
  } catch (const Exception& error) {
    return RowNotWrittenSentence(gKestraneRunsTable, error.Message());
  } catch (const std::exception& error) {
    return RowNotWrittenSentence(gKestraneRunsTable, FromUtf8(error.what()));
  }
}
