#include "settings/authentication.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/unit/error_outcome.h"

TEST(Authentication, TheTwoValuesInAnyLetterCaseAndNothingElse) {
  for (const char16_t* value : {u"SQL", u"sql"}) EXPECT_EQ(ParseAuthentication(value), Authentication::Sql);
  for (const char16_t* value : {u"Windows", u"WINDOWS", u"windows"})
    EXPECT_EQ(ParseAuthentication(value), Authentication::Windows);
  EXPECT_EQ(Outcome([] { ParseAuthentication(u"Kerberos"); }),
            "Exception: The value \"Kerberos\" of Authentication in section [Kestrane] of VUZuze16.cnf is not "
            "accepted: use SQL or Windows");
  for (const char16_t* value : {u"", u"SSPI", u"Windows ", u"Integrated", u"yes"})
    EXPECT_NE(Outcome([&] { ParseAuthentication(value); }), "ok") << ToUtf8(value);
}
