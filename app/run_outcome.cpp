#include "app/run_outcome.h"

#include <algorithm>

#include "base/text.h"

namespace {

constexpr std::u16string_view kLogCut = u"[... lines left out ...]\r\n";
// Every string but the log is short by nature; one that is not (a driver's message) is cut here.
constexpr size_t kMostOtherCharacters = 2000;

std::u16string Number(int n) { return FromUtf8(std::to_string(n)); }
std::u16string Count(int n) { return Number(n) + (n == 1 ? u" file" : u" files"); }

// A sentence's end: a full stop unless the text brings one of its own.
std::u16string Ended(std::u16string text) {
  if (!text.empty() && text.back() != u'.' && text.back() != u'!' && text.back() != u'?') text += u'.';
  return text;
}

// "3 files updated" or "3 updated", and how many were up to date when any were.
std::u16string Tally(const RefreshCounts& counts, bool noun) {
  std::u16string text = (noun ? Count(counts.updated) : Number(counts.updated)) + u" updated";
  if (counts.unchanged) text += u", " + Number(counts.unchanged) + u" up to date";
  return text;
}

std::u16string WhatHappened(const RunReport& report) {
  switch (report.outcome) {
    case UpdateOutcome::Updated:
      return u"The update completed: " + Tally(report.counts, true) + u".";
    case UpdateOutcome::Incomplete:
      if (!report.counts.failed)
        return u"The update completed, but not every file came from the share (" + Tally(report.counts, false) + u").";
      return u"The update completed, but " + Count(report.counts.failed) + u" could not be updated (" +
             Tally(report.counts, false) + u").";
    case UpdateOutcome::NothingMatched:
      return u"The update completed, but no file in the source folder matched the pattern " + report.pattern + u".";
    case UpdateOutcome::ClosedWhileWaiting:
      return u"The window was closed while another update of the folder was running: nothing was updated.";
    case UpdateOutcome::ClosedBeforeUpdate:
      return u"The window was closed before the update began: nothing was updated.";
    case UpdateOutcome::Stopped:
      break;
  }
  return u"The update was stopped by an error: " + report.error;
}

// "a", "a and b", "a, b and c".
std::u16string Listed(const std::vector<std::u16string>& names) {
  std::u16string text;
  for (size_t i = 0; i < names.size(); ++i)
    text += (i == 0 ? u"" : i + 1 == names.size() ? u" and " : u", ") + names[i];
  return text;
}

// Leftovers that do not name their program, kept while a program is missing: the administrator
// learns where a lost program may be.
std::u16string KeptLeftovers(const RefreshCounts& counts) {
  if (counts.keptLeftovers.empty()) return {};
  const bool one = counts.keptLeftovers.size() == 1;
  return u" " + Listed(counts.keptLeftovers) +
         (one ? u", left by an earlier update, was" : u", left by earlier updates, were") + u" kept: " +
         (one ? u"it" : u"each") + u" may be the only copy of " + Listed(counts.missing) +
         (counts.missing.size() == 1 ? u", which is" : u", which are") + u" missing.";
}

// What the publisher check refused, and what it let through without knowing whether the
// certificate was revoked.
std::u16string PublisherSentences(const RefreshCounts& counts) {
  std::u16string text;
  if (!counts.refused.empty()) text += u" Not the pinned publisher's, so not updated: " + Listed(counts.refused) + u".";
  if (!counts.revocationUnknown.empty())
    text += u" Updated, though the certificate's revocation could not be checked offline: " +
            Listed(counts.revocationUnknown) + u".";
  return text;
}

// The settings query's failure comes first: whatever failed after it failed for that reason. A
// drive that was not connected explains a copy that found no folder, or files from elsewhere.
std::u16string Sentences(const RunReport& report) {
  std::u16string text;
  if (!report.queryFailure.empty()) text = Ended(u"The settings query failed: " + report.queryFailure) + u" ";
  text += WhatHappened(report) + PublisherSentences(report.counts);
  if (!report.driveFailure.empty())
    text += u" " + Ended(u"Drive " + report.drive + u" was not connected: " + report.driveFailure);
  text += report.withoutLock + KeptLeftovers(report.counts);
  return report.rowFailure.empty() ? text : text + u" " + report.rowFailure;
}

// Never between the two halves of a character, which Event Viewer would show as two broken ones.
std::u16string Capped(const std::u16string& text) { return CutWithin(text, kMostOtherCharacters); }

// Whole lines from both ends, the middle left out, when the log is longer than room.
std::u16string Shortened(const std::u16string& log, size_t room) {
  if (log.size() <= room) return log;
  if (room <= kLogCut.size()) return std::u16string(kLogCut.substr(0, room));
  const size_t half = (room - kLogCut.size()) / 2;
  const size_t headEnd = log.rfind(u'\n', half - 1);
  const size_t tailStart = log.find(u'\n', log.size() - half);
  const std::u16string head = headEnd == std::u16string::npos ? std::u16string() : log.substr(0, headEnd + 1);
  const std::u16string tail = tailStart == std::u16string::npos ? std::u16string() : log.substr(tailStart + 1);
  return head + std::u16string(kLogCut) + tail;
}

}  // namespace

int ExitCodeOf(std::optional<UpdateOutcome> outcome) { return outcome ? KindOf(*outcome).exitCode : 0; }

UpdateOutcome OutcomeOfCopy(const RefreshCounts& counts, bool driveConnected) {
  if (counts.NoneListed()) return UpdateOutcome::NothingMatched;
  return counts.failed || !driveConnected ? UpdateOutcome::Incomplete : UpdateOutcome::Updated;
}

std::u16string WhatTheRecordSays(const RunReport& report) { return Capped(Sentences(report)); }

EventRecord EventRecordOf(const RunReport& report) {
  std::vector<std::u16string> strings = {WhatTheRecordSays(report), Capped(report.source), Capped(report.destination),
                                         Capped(report.databaseServer)};
  size_t used = 0;
  for (const std::u16string& string : strings) used += string.size();
  strings.push_back(Shortened(report.activityLog, kMostRecordCharacters - used));
  const OutcomeKind& kind = KindOf(report.outcome);
  return {kind.level, kind.messageId, std::move(strings)};
}

EventRecord OutcomeOnly(const EventRecord& record) {
  EventRecord shorter = record;
  std::fill(shorter.strings.begin() + 1, shorter.strings.end(), std::u16string());
  return shorter;
}

EventRecord RowNotWrittenRecord(const std::u16string& sentence) {
  return {platform::EventLevel::Warning, kMessageRunRowNotWritten, {Capped(sentence)}};
}
