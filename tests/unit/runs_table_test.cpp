#include "settings/runs_table.h"

#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "tests/unit/error_outcome.h"

TEST(RunsTable, AbsentOrEmptyAsksForNoRow) { EXPECT_EQ(QuotedRunsTable(u""), u""); }

TEST(RunsTable, PlainAndSchemaNamesAreQuotedPartByPart) {
  const std::u16string longest(128, u'x');
  const struct {
    std::u16string value, quoted;
  } cases[] = {
      {u"KestraneRuns", u"[KestraneRuns]"},
      {u"dbo.KestraneRuns", u"[dbo].[KestraneRuns]"},
      {u"_runs2", u"[_runs2]"},
      {u"it_2.R_1", u"[it_2].[R_1]"},
      {longest + u"." + longest, u"[" + longest + u"].[" + longest + u"]"},
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedRunsTable(c.value), c.quoted) << ToUtf8(c.value);
}

// Only a name that cannot carry anything but a name reaches the statement's text.
TEST(RunsTable, AnyOtherValueIsRefusedNamingKeyValueAndRule) {
  EXPECT_EQ(Outcome([] { QuotedRunsTable(u"Runs;DROP TABLE x"); }),
            "Exception: The value \"Runs;DROP TABLE x\" of RunsTable in section [Kestrane] of VUZuze16.cnf is not "
            "accepted: use a table name or schema.name of letters, digits and _, each part starting with a letter "
            "or _ and at most 128 characters long");
  const std::u16string tooLong(129, u'x');
  for (const std::u16string& value :
       {std::u16string(u"2runs"), std::u16string(u"dbo.2runs"), std::u16string(u"a.b.c"), std::u16string(u".runs"),
        std::u16string(u"dbo."), std::u16string(u"."), std::u16string(u"[runs]"), std::u16string(u"runs]"),
        std::u16string(u"my runs"), std::u16string(u" runs"), std::u16string(u"ru-ns"), std::u16string(u"r\u00e4ume"),
        std::u16string(u"#runs"), std::u16string(u"db..runs"), std::u16string(u"runs\u0000x", 6), tooLong,
        u"dbo." + tooLong}) {
    EXPECT_NE(Outcome([&] { QuotedRunsTable(value); }), "ok") << ToUtf8(value);
  }
}
