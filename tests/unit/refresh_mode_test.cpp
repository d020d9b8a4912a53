#include "update/refresh_mode.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/unit/error_outcome.h"

TEST(RefreshMode, TheTwoValuesInAnyLetterCase) {
  for (const char16_t* value : {u"all", u"ALL", u"All"}) EXPECT_EQ(ParseRefreshMode(value), RefreshMode::All);
  for (const char16_t* value : {u"changed", u"CHANGED", u"Changed", u"cHaNgEd"})
    EXPECT_EQ(ParseRefreshMode(value), RefreshMode::Changed);
}

// Anything else stops the update, with a message an administrator can act on without the manual.
TEST(RefreshMode, AnyOtherValueIsRefusedNamingKeyValueAndChoices) {
  EXPECT_EQ(Outcome([] { ParseRefreshMode(u"fast"); }),
            "Exception: The value \"fast\" of Refresh in section [Kestrane] of VUZuze16.cnf is not accepted: use all "
            "or changed");
  // Near misses included: only the platform trims blanks and quotes, and only around the value.
  for (const char16_t* value : {u"", u" changed", u"changed ", u"change", u"changed2", u"\"all\"", u"yes", u"1",
                                u"\u0130LL", u"ch\u00e4nged"}) {
    EXPECT_NE(Outcome([&] { ParseRefreshMode(value); }), "ok") << ToUtf8(value);
  }
}
