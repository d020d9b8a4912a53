#include "app/run_row.h"

#include <string_view>
#include <variant>

#include "base/text.h"

namespace {

using platform::StatementValue;

struct Column {
  std::u16string_view name;
  // The most characters of text the shipped table (deploy/KestraneRuns.sql) keeps; 0 for a column
  // that holds no text.
  size_t width;
  StatementValue (*value)(const RunRow&);
};

// The table's columns in the statement's order, and where each takes its value.
constexpr Column kColumns[] = {
    {u"RunAt", 0, [](const RunRow& row) -> StatementValue { return row.runAt; }},
    {u"Workstation", 64, [](const RunRow& row) -> StatementValue { return row.workstation; }},
    {u"UserName", 256, [](const RunRow& row) -> StatementValue { return row.userName; }},
    {u"ExitCode", 0, [](const RunRow& row) -> StatementValue { return row.exitCode; }},
    {u"Outcome", 2000, [](const RunRow& row) -> StatementValue { return row.outcome; }},
    {u"Updated", 0, [](const RunRow& row) -> StatementValue { return row.updated; }},
    {u"UpToDate", 0, [](const RunRow& row) -> StatementValue { return row.upToDate; }},
    {u"Failed", 0, [](const RunRow& row) -> StatementValue { return row.failed; }},
    {u"SourceFolder", 520, [](const RunRow& row) -> StatementValue { return row.sourceFolder; }},
    {u"SuiteVersion", 32, [](const RunRow& row) -> StatementValue { return row.suiteVersion; }},
    {u"KestraneVersion", 32, [](const RunRow& row) -> StatementValue { return row.kestraneVersion; }},
    {u"Seconds", 0, [](const RunRow& row) -> StatementValue { return row.seconds; }},
    {u"FirstError", 2000, [](const RunRow& row) -> StatementValue { return row.firstError; }},
};

// A text cut to what its column keeps: a server refuses a value longer than its column, and the row
// would be lost for one long driver message.
StatementValue CutToWidth(StatementValue value, size_t width) {
  auto* text = std::get_if<std::u16string>(&value);
  if (!text || width == 0) return value;
  return CutWithin(*text, width);
}

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
  for (const Column& column : kColumns) {
    names += (names.empty() ? u"" : u", ") + std::u16string(column.name);
    markers += markers.empty() ? u"?" : u", ?";
  }
  return u"INSERT INTO " + quotedTable + u" (" + names + u") VALUES (" + markers + u")";
}

std::vector<StatementValue> RowValues(const RunRow& row) {
  std::vector<StatementValue> values;
  for (const Column& column : kColumns) values.push_back(CutToWidth(column.value(row), column.width));
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
