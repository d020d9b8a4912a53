#include "app/run_outcome.h"

#include "base/text.h"

namespace {

// An event-log string holds at most 31,839 characters.
constexpr size_t kMostLogCharacters = 31000;
constexpr std::u16string_view kLogCut = u"[... lines left out ...]\r\n";

std::u16string Number(int n) { return FromUtf8(std::to_string(n)); }
std::u16string Count(int n) { return Number(n) + (n == 1 ? u" file" : u" files"); }

// "3 files updated" or "3 updated", and how many were up to date when any were.
std::u16string Tally(const RefreshCounts& counts, bool noun) {
  std::u16string text = (noun ? Count(counts.updated) : Number(counts.updated)) + u" updated";
  if (counts.unchanged) text += u", " + Number(counts.unchanged) + u" up to date";
  return text;
}

std::u16string Sentence(const RunReport& report) {
  switch (report.outcome) {
    case UpdateOutcome::Updated:
      return u"The update completed: " + Tally(report.counts, true) + u".";
    case UpdateOutcome::Incomplete:
      return u"The update completed, but " + Count(report.counts.failed) + u" could not be updated (" +
             Tally(report.counts, false) + u").";
    case UpdateOutcome::Stopped:
      break;
  }
  return u"The update was stopped by an error: " + report.error;
}

// Whole lines from both ends, the middle left out, when the log is longer than a record holds.
std::u16string Shortened(const std::u16string& log) {
  if (log.size() <= kMostLogCharacters) return log;
  const size_t half = (kMostLogCharacters - kLogCut.size()) / 2;
  const size_t headEnd = log.rfind(u'\n', half);
  const size_t tailStart = log.find(u'\n', log.size() - half);
  const std::u16string head = headEnd == std::u16string::npos ? std::u16string() : log.substr(0, headEnd + 1);
  const std::u16string tail = tailStart == std::u16string::npos ? std::u16string() : log.substr(tailStart + 1);
  return head + std::u16string(kLogCut) + tail;
}

}  // namespace

int ExitCodeOf(std::optional<UpdateOutcome> outcome) {
  if (!outcome) return 0;
  switch (*outcome) {
    case UpdateOutcome::Updated:
      return 0;
    case UpdateOutcome::Stopped:
      return 2;
    case UpdateOutcome::Incomplete:
      return 3;
  }
  return 2;
}

EventRecord EventRecordOf(const RunReport& report) {
  using platform::EventLevel;
  static constexpr EventLevel kLevels[] = {EventLevel::Information, EventLevel::Error, EventLevel::Warning};
  return {kLevels[static_cast<size_t>(report.outcome)],
          100u + ExitCodeOf(report.outcome),
          {Sentence(report), report.source, report.destination, report.databaseServer, Shortened(report.activityLog)}};
}
