#include "app/run_row_writer.h"

#include <exception>

#include "app/run_row.h"
#include "base/exception.h"
#include "base/text.h"
#include "platform/answering.h"
#include "platform/computer_name.h"
#include "platform/database_statement.h"
#include "platform/file_version.h"
#include "platform/process_clock.h"
#include "settings/upgrade_query.h"
#include "settings/user_name.h"

std::u16string WriteRunRow(const RunReport& report, const std::u16string& quotedTable, const SlotStore& slots) {
  const std::u16string connectionString = SettingsConnectionString(slots);
  try {
    // The version is read off the window's thread too: the destination may be a slow disk.
    platform::CallAnswering([&] {
      const RunRow row{.runAt = platform::ProcessStartTime(),
                       .workstation = platform::ComputerName(),
                       .userName = GetUserName(),
                       .exitCode = ExitCodeOf(report.outcome),
                       .outcome = WhatTheRecordSays(report),
                       .updated = report.counts.updated,
                       .upToDate = report.counts.unchanged,
                       .failed = report.counts.failed,
                       .sourceFolder = report.source,
                       .suiteVersion = platform::FileVersion(report.destination + u"\\tavMENU.exe"),
                       .kestraneVersion = FromAscii(KESTRANE_VERSION),
                       .seconds = report.seconds,
                       .firstError = FirstError(report.activityLog, report.error)};
      platform::ExecuteStatement(
          connectionString, InsertStatement(quotedTable), RowValues(row),
          {.loginSeconds = kRowLoginTimeoutSeconds, .statementSeconds = kRowStatementTimeoutSeconds});
    });
    return {};
  } catch (const Exception& error) {
    return error.Message();
  } catch (const std::exception& error) {
    return FromUtf8(error.what());
  }
}
