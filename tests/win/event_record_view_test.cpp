// Each kind of record as Event Viewer shows it: the program's own file loaded as data, its message
// for the record's full id formatted with the record's strings. The text must read whole.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "app/run_outcome.h"
#include "base/text.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"
#include "tests/unit/sample_run_report.h"

namespace {

// What Event Viewer shows for a record, or the system's error code when it cannot.
std::u16string AsEventViewerShows(HMODULE messages, const EventRecord& record) {
  std::vector<DWORD_PTR> arguments;
  for (const std::u16string& string : record.strings) arguments.push_back(reinterpret_cast<DWORD_PTR>(string.c_str()));
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                     messages, record.messageId, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                     reinterpret_cast<wchar_t*>(&text), 0, reinterpret_cast<va_list*>(arguments.data()));
  const UniqueLocal owned(text);
  if (!length) return u"(no text: error " + FromUtf8(std::to_string(GetLastError())) + u")";
  return FromWide(text);
}

RunReport Report(UpdateOutcome outcome, std::u16string log) {
  const bool failed = outcome == UpdateOutcome::Incomplete;
  RunReport report = SampleRunReport(outcome, {.updated = 2, .unchanged = 1, .failed = failed ? 1 : 0}, std::move(log));
  report.error = u"Access denied.";
  report.queryFailure = outcome == UpdateOutcome::Stopped ? u"Login failed for user 'reader'." : u"";
  return report;
}

TEST(EventRecordView, EveryKindOfRecordReadsWholeAsEventViewerShowsIt) {
  const UniqueModule program(
      LoadLibraryExW(Wide(FromUtf8(KESTRANE_EXE)), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(program) << "cannot load " << KESTRANE_EXE << " as data: error " << GetLastError();
  // Texts that look like the message's own inserts stay as they are.
  std::u16string longLog = u"Failed To Disconnect Drive G:.\r\nDrive Mapped Successfully.\r\n";
  for (int i = 0; i < 2000; ++i) longLog += u"tav%1 " + FromUtf8(std::to_string(i)) + u".exe Updated Successfully.\r\n";
  for (const std::u16string& log : {std::u16string(u"Drive Mapped Successfully.\r\n100% done\r\n"), longLog}) {
    for (const OutcomeKind& kind : kOutcomeKinds) {
      const EventRecord record = EventRecordOf(Report(kind.outcome, log));
      const std::u16string& s = record.strings[0];
      SCOPED_TRACE(ToUtf8(s));
      EXPECT_EQ(AsEventViewerShows(program.get(), record),
                s +
                    u"\r\n\r\nSource folder: G:\\Tavirel\r\nDestination folder: C:\\Users\\anna\\AppData\\Local\\"
                    u"tavirel\r\nDatabase server: sqlserver01\r\n\r\nActivity log:\r\n" +
                    record.strings[4] + u"\r\n");
      // And the short record a log refused the whole one for.
      const std::u16string shorter = AsEventViewerShows(program.get(), OutcomeOnly(record));
      EXPECT_EQ(shorter.rfind(s + u"\r\n\r\nSource folder: ", 0), 0u) << ToUtf8(shorter);
    }
  }
  // The warning that follows a record when the run's row could not be written: its sentence alone.
  const std::u16string rowSentence = u"The run's row was not written to dbo.KestraneRuns: 100% of nothing.";
  EXPECT_EQ(AsEventViewerShows(program.get(), RowNotWrittenRecord(rowSentence)), rowSentence + u"\r\n");
}

}  // namespace
