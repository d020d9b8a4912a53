#include "update/temporary_name.h"

#include <gtest/gtest.h>

#include "base/text.h"

TEST(TemporaryName, EightLowerCaseHexDigitsBetweenPrefixAndSuffix) {
  EXPECT_EQ(TemporaryName(0x0123abcd), u"~kst0123abcd.tmp");
  EXPECT_EQ(TemporaryName(0), u"~kst00000000.tmp");
  EXPECT_EQ(TemporaryName(0xffffffff), u"~kstffffffff.tmp");
  for (const uint32_t number : {0u, 0x0123abcdu, 0x89ef4567u, 0xffffffffu}) {
    EXPECT_TRUE(IsTemporaryName(TemporaryName(number)));
    EXPECT_TRUE(IsLeftoverName(TemporaryName(number)));
    EXPECT_FALSE(SetAsideTarget(TemporaryName(number)));
  }
}

// Leftovers are deleted by this rule, so it must claim no name the program does not make.
TEST(TemporaryName, LookAlikesAreNotLeftovers) {
  for (const char16_t* name : {u"",
                               u"~kst0123abc.tmp",
                               u"~kst0123abcde.tmp",
                               u"~KST0123ABCD.TMP",
                               u"~kst0123ABCD.tmp",
                               u"~kst0123abcg.tmp",
                               u"~kst 123abcd.tmp",
                               u"~kst-123abcd.tmp",
                               u"~kst0123abcd.tmp.bak",
                               u"x~kst0123abcd.tmp",
                               u"~kst0123abcd.tmp ",
                               u"~kst0123abcd.tm",
                               u"kst0123abcd.tmp",
                               u"~kst0123abcd.TMP",
                               u"~kst\uff10123abcd.tmp",
                               u"~kst0123abcd~.tmp",
                               u"~kst0123abcdx~a.exe.tmp",
                               u"~kst0123abcd~a.exe.TMP",
                               u"~kst0123abcd~..tmp",
                               u"~kst0123abcd~a\\b.tmp",
                               u"~kst.lock"}) {
    EXPECT_FALSE(IsLeftoverName(name)) << ToUtf8(name);
    EXPECT_FALSE(IsTemporaryName(name)) << ToUtf8(name);
  }
}

// A set-aside file tells which target it stands for, so that the only copy of a program is put back
// under its own name rather than deleted.
TEST(SetAsideName, CarriesItsTargetsNameBackAndForth) {
  for (const char16_t* target : {u"tavMENU.exe", u"a", u"name with spaces.dll", u"x.tmp", u"~kst0123abcd.tmp"}) {
    const std::u16string name = SetAsideName(0x0123abcd, target);
    EXPECT_EQ(name, u"~kst0123abcd~" + std::u16string(target) + u".tmp");
    EXPECT_TRUE(IsLeftoverName(name)) << ToUtf8(name);
    EXPECT_FALSE(IsTemporaryName(name)) << ToUtf8(name);
    EXPECT_EQ(SetAsideTarget(name), std::u16string(target));
  }
  // A name that leaves no room: the copy's form, which is a leftover without a target.
  const std::u16string longest(255 - 17, u'n'), tooLong(255 - 16, u'n');
  EXPECT_EQ(SetAsideName(1, longest).size(), 255u);
  EXPECT_EQ(SetAsideTarget(SetAsideName(1, longest)), longest);
  EXPECT_EQ(SetAsideName(1, tooLong), u"~kst00000001.tmp");
}
