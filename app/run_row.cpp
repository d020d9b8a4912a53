#include "app/run_row.h"

#include <string_view>
#include <utility>

namespace {

using platform::StatementValue;

// The table's columns in the statement's order, and where each takes its value.
constexpr std::pair<std::u16string_view, StatementValue (*)(const RunRow&)> kColumns[] = {
    {u"RunAt", [](const RunRow& row) -> StatementValue { return row.runAt; }},
    {u"Workstation", [](const RunRow& row) -> StatementValue { return row.workstation; }},
    {u"UserName", [](const RunRow& row) -> StatementValue { return row.userName; }},
    {u"ExitCode", [](const RunRow& row) -> StatementValue { return row.exitCode; }},
    {u"Outcome", [](const RunRow& row) -> StatementValue { return row.outcome; }},
    {u"Updated", [](const RunRow& row) -> StatementValue { return row.updated; }},
    {u"UpToDate", [](const RunRow& row) -> StatementValue { return row.upToDate; }},
    {u"Failed", [](const RunRow& row) -> StatementValue { return row.failed; }},
    {u"SourceFolder", [](const RunRow& row) -> StatementValue { return row.sourceFolder; }},
    {u"SuiteVersion", [](const RunRow& row) -> StatementValue { return row.suiteVersion; }},
    {u"KestraneVersion", [](const RunRow& row) -> StatementValue { return row.kestraneVersion; }},
    {u"Seconds", [](const RunRow& row) -> StatementValue { return row.seconds; }},
    {u"FirstError", [](const RunRow& row) -> StatementValue { return row.firstError; }},
};

// The log's lines that tell of a failure begin so (the share connection's and the copy's texts).
constexpr std::u16string_view kFailureLineStarts[] = {u"Failed To Map Drive", u"Error copying file "};

bool TellsOfFailure(std::u16string_view line) {
  for (std::u16string_view start : kFailureLineStarts) {
    if (line.starts_with(start)) return true;
  }
  return false;
}

}  // namespace

std::u16string InsertStatement(const std::u16string& quotedTable) {
  std::u16string names, markers;
  for (const auto& [name, value] : kColumns) {
    names += (names.empty() ? u"" : u", ") + std::u16string(name);
    markers += markers.empty() ? u"?" : u", ?";
  }
  return u"INSERT INTO " + quotedTable + u" (" + names + u") VALUES (" + markers + u")";
}

std::vector<StatementValue> RowValues(const RunRow& row) {
  std::vector<StatementValue> values;
  for (const auto& [name, value] : kColumns) values.push_back(value(row));
  return values;
}

std::u16string FirstError(const std::u16string& activityLog, const std::u16string& reportedError) {
  for (size_t start = 0; start < activityLog.size();) {
    const size_t end = activityLog.find(u"\r\n", start);
    const std::u16string_view line =
        std::u16string_view(activityLog).substr(start, end == std::u16string::npos ? end : end - start);
    if (TellsOfFailure(line)) return std::u16string(line);
    if (end == std::u16string::npos) break;
    start = end + 2;
  }
  return reportedError;
}

std::u16string RowNotWrittenSentence(const std::u16string& table, const std::u16string& why) {
  return u"The run's row was not written to " + table + u": " + why + u".";
}
