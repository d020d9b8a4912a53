#pragma once

#include <string>
#include <utility>

#include "app/run_outcome.h"

// The report of a run on one workstation, for the tests of its record: its folders, server, drive
// and pattern; the tests set what went wrong on top.
inline RunReport SampleRunReport(UpdateOutcome outcome, RefreshCounts counts, std::u16string log) {
  RunReport report;
  report.outcome = outcome;
  report.counts = counts;
  report.drive = u"G:";
  report.pattern = u"tav*.exe";
  report.source = u"G:\\Tavirel";
  report.destination = u"C:\\Users\\anna\\AppData\\Local\\tavirel";
  report.databaseServer = u"sqlserver01";
  report.activityLog = std::move(log);
  return report;
}
