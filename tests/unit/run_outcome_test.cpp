#include "app/run_outcome.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace {

RunReport Report(UpdateOutcome outcome, RefreshCounts counts, std::u16string log = u"line\r\n") {
  return {.outcome = outcome,
          .counts = counts,
          .error = outcome == UpdateOutcome::Stopped ? u"Access denied." : u"",
          .source = u"G:\\Tavirel",
          .destination = u"C:\\Users\\anna\\AppData\\Local\\tavirel",
          .databaseServer = u"sqlserver01",
          .activityLog = std::move(log)};
}

}  // namespace

TEST(RunOutcome, EachOutcomeHasItsExitCodeLevelIdAndSentence) {
  using platform::EventLevel;
  const struct {
    UpdateOutcome outcome;
    RefreshCounts counts;
    int exitCode;
    EventLevel level;
    uint32_t eventId;
    const char16_t* sentence;
  } cases[] = {
      {UpdateOutcome::Updated,
       {.updated = 1},
       0,
       EventLevel::Information,
       100,
       u"The update completed: 1 file updated."},
      {UpdateOutcome::Updated, {}, 0, EventLevel::Information, 100, u"The update completed: 0 files updated."},
      {UpdateOutcome::Updated,
       {.updated = 2, .unchanged = 48},
       0,
       EventLevel::Information,
       100,
       u"The update completed: 2 files updated, 48 up to date."},
      {UpdateOutcome::Incomplete,
       {.updated = 3, .failed = 2},
       3,
       EventLevel::Warning,
       103,
       u"The update completed, but 2 files could not be updated (3 updated)."},
      {UpdateOutcome::Incomplete,
       {.unchanged = 5, .failed = 1},
       3,
       EventLevel::Warning,
       103,
       u"The update completed, but 1 file could not be updated (0 updated, 5 up to date)."},
      {UpdateOutcome::Stopped, {}, 2, EventLevel::Error, 102, u"The update was stopped by an error: Access denied."},
  };
  for (const auto& c : cases) {
    const EventRecord record = EventRecordOf(Report(c.outcome, c.counts));
    EXPECT_EQ(ExitCodeOf(c.outcome), c.exitCode);
    EXPECT_EQ(record.level, c.level);
    EXPECT_EQ(record.eventId, c.eventId);
    EXPECT_EQ(record.strings,
              (std::vector<std::u16string>{c.sentence, u"G:\\Tavirel", u"C:\\Users\\anna\\AppData\\Local\\tavirel",
                                           u"sqlserver01", u"line\r\n"}))
        << ToUtf8(c.sentence);
  }
  EXPECT_EQ(ExitCodeOf(std::nullopt), 0);  // the user closed the window before the update
}

// An event-log string holds at most 31,839 characters: a longer log keeps whole lines from both
// ends, where the first failures and the banner are.
TEST(RunOutcome, LogTooLongForOneRecordLosesWholeLinesFromItsMiddle) {
  std::u16string log;
  for (int i = 0; i < 2000; ++i) log += u"tav" + FromUtf8(std::to_string(i)) + u".exe Updated Successfully.\r\n";
  ASSERT_GT(log.size(), 31839u);
  const std::u16string kept = EventRecordOf(Report(UpdateOutcome::Updated, {.updated = 2000}, log)).strings[4];
  EXPECT_LE(kept.size(), 31839u);
  EXPECT_EQ(kept.rfind(u"tav0.exe Updated Successfully.\r\n", 0), 0u);
  EXPECT_TRUE(kept.ends_with(u"\r\ntav1999.exe Updated Successfully.\r\n"));
  const size_t cut = kept.find(u"[... lines left out ...]\r\n");
  ASSERT_NE(cut, std::u16string::npos);
  EXPECT_TRUE(kept.substr(0, cut).ends_with(u"\r\n"));
  EXPECT_TRUE(kept.substr(cut).find(u"\r\ntav") != std::u16string::npos);

  const std::u16string shortLog = u"a\r\nb\r\n";
  EXPECT_EQ(EventRecordOf(Report(UpdateOutcome::Updated, {.updated = 2}, shortLog)).strings[4], shortLog);
}
