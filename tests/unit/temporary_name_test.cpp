#include "update/temporary_name.h"

#include <gtest/gtest.h>

#include "base/text.h"

TEST(TemporaryName, EightLowerCaseHexDigitsBetweenPrefixAndSuffix) {
  EXPECT_EQ(TemporaryName(0x0123abcd), u"~kst0123abcd.tmp");
  EXPECT_EQ(TemporaryName(0), u"~kst00000000.tmp");
  EXPECT_EQ(TemporaryName(0xffffffff), u"~kstffffffff.tmp");
  for (const uint32_t number : {0u, 0x0123abcdu, 0x89ef4567u, 0xffffffffu})
    EXPECT_TRUE(IsTemporaryName(TemporaryName(number)));
}

// Leftovers are deleted by this rule, so it must claim no name the program does not make.
TEST(TemporaryName, LookAlikesAreNotTemporaryNames) {
  for (const char16_t* name :
       {u"", u"~kst0123abc.tmp", u"~kst0123abcde.tmp", u"~KST0123ABCD.TMP", u"~kst0123ABCD.tmp", u"~kst0123abcg.tmp",
        u"~kst 123abcd.tmp", u"~kst-123abcd.tmp", u"~kst0123abcd.tmp.bak", u"x~kst0123abcd.tmp", u"~kst0123abcd.tmp ",
        u"~kst0123abcd.tm", u"kst0123abcd.tmp", u"~kst0123abcd.TMP", u"~kst\uff10123abcd.tmp"}) {
    EXPECT_FALSE(IsTemporaryName(name)) << ToUtf8(name);
  }
}
