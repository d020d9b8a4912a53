#include <gtest/gtest.h>

#include <set>

#include "app/app_title.h"
#include "app/error_report.h"
#include "app/layout.h"
#include "app/run_state.h"
#include "base/exception.h"
#include "base/text.h"

TEST(ApplicationTitle, FileNameBeforeTheFirstDotWithTheRestLowered) {
  const struct {
    const char16_t* path;
    const char16_t* title;
  } cases[] = {
      {u"C:\\Program Files\\Kestrane\\Kestrane.exe", u"Kestrane"},
      {u"C:\\KESTRANE.EXE", u"Kestrane"},
      {u"Z:/tmp/my.App.v2.exe", u"my"},
      {u"D:kESTRANE.exe", u"kestrane"},
      {u"NoExt", u"Noext"},
      {u"C:\\dir.d\\X", u"X"},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplicationTitle(c.path), c.title) << ToUtf8(c.path);
}

TEST(ErrorReport, FullStopOnlyAfterCharactersAboveTheFullStop) {
  const struct {
    const char16_t* message;
    const char16_t* shown;
  } cases[] = {
      {u"The specified path was not found", u"The specified path was not found."},
      {u"Ends in a digit 7", u"Ends in a digit 7."},
      {u"Ends in a colon:", u"Ends in a colon:."},
      {u"'[' is an invalid mask at (2)", u"'[' is an invalid mask at (2)"},
      {u"Already.", u"Already."},
      {u"Bang!", u"Bang!"},
      {u"", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorReportText(Exception(c.message)), c.shown) << ToUtf8(c.message);
}

TEST(ErrorReport, InnermostNonEmptyMessageWins) {
  auto inner = std::make_shared<const EInOutError>(u"Access is denied");
  EXPECT_EQ(ErrorReportText(Exception(u"outer", inner)), u"Access is denied.");
  auto empty = std::make_shared<const Exception>(u"");
  EXPECT_EQ(ErrorReportText(Exception(u"outer", empty)), u"outer.");
}

TEST(RunState, TheWholeCaptionDecidesCaseIncluded) {
  EXPECT_EQ(DecideButton1Step(u"START COPY"), Button1Step::StartCopy);
  EXPECT_EQ(DecideButton1Step(u"RUNNING"), Button1Step::CloseWindow);
  EXPECT_EQ(DecideButton1Step(u"Running"), Button1Step::Nothing);
  EXPECT_EQ(DecideButton1Step(u"START COPY "), Button1Step::Nothing);
}

TEST(Layout, TheNarrowedStripShowsOnlyTheLeftControls) {
  const std::set<std::u16string_view> strip = {u"Image1", u"Label1",  u"Label2", u"Memo1",
                                               u"Edit1",  u"Button1", u"Edit2"};
  for (const auto& control : layout::kControls) {
    const int right = control.left + control.width;
    if (strip.count(control.name)) {
      EXPECT_LE(right, 223) << ToUtf8(control.name);
    } else if (control.visible) {
      EXPECT_GE(control.left, layout::kStripClientWidth) << ToUtf8(control.name);
    }
  }
}

TEST(Layout, OnlyTheLogAndTheMainButtonTakeTheFocusLogFirst) {
  std::vector<std::u16string_view> focusable;
  for (const auto& control : layout::kControls) {
    const bool windowed =
        control.kind != platform::ControlKind::Picture && control.kind != platform::ControlKind::Label;
    if (windowed && control.visible && control.enabled) focusable.push_back(control.name);
  }
  EXPECT_EQ(focusable, (std::vector<std::u16string_view>{u"Memo1", u"Button1"}));
}

TEST(Layout, BatchTextHas31LinesThreeEndingInABlank) {
  std::vector<std::u16string_view> lines;
  std::u16string_view text = layout::kBatchText;
  for (size_t end; (end = text.find(u"\r\n")) != std::u16string_view::npos; text.remove_prefix(end + 2))
    lines.push_back(text.substr(0, end));
  lines.push_back(text);
  ASSERT_EQ(lines.size(), 31u);
  std::vector<size_t> blankEnded;
  for (size_t i = 0; i < lines.size(); ++i)
    if (!lines[i].empty() && lines[i].back() == u' ') blankEnded.push_back(i + 1);
  EXPECT_EQ(blankEnded, (std::vector<size_t>{9, 13, 26}));
  EXPECT_EQ(lines[21], u"        echo Copying \"%%f\" to \"!");
}
