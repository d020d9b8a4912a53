#include "update/temporary_name.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "update/path.h"

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
TEST(SetAsidePath, CarriesItsTargetsNameBackAndForth) {
  for (const char16_t* target : {u"tavMENU.exe", u"a", u"name with spaces.dll", u"x.tmp", u"~kst0123abcd.tmp"}) {
    const std::optional<std::u16string> path = SetAsidePath(0x0123abcd, u"C:\\Apps\\" + std::u16string(target));
    ASSERT_TRUE(path) << ToUtf8(target);
    const std::u16string name = path->substr(8);
    EXPECT_EQ(*path, u"C:\\Apps\\~kst0123abcd~" + std::u16string(target) + u".tmp");
    EXPECT_TRUE(IsLeftoverName(name)) << ToUtf8(name);
    EXPECT_FALSE(IsTemporaryName(name)) << ToUtf8(name);
    EXPECT_EQ(SetAsideTarget(name), std::u16string(target));
  }
}

// The one rule of whether a target can be set aside: a name that does not fit is never made in a
// form without its target, it is not made at all.
TEST(SetAsidePath, NothingWhereTheNameOrThePathDoesNotFit) {
  const std::u16string longest(255 - 17, u'n');
  // A folder that leaves a set-aside name of 21 characters ("a.ex"'s) a path of 259.
  const std::u16string deep = u"C:\\" + std::u16string(234, u'd') + u"\\";
  struct Case {
    std::u16string target;
    bool fits;
  } const cases[] = {
      {u"C:\\" + longest, true},                 // the 255-character name in a path of 258
      {u"C:\\Apps\\" + longest, false},          // the same name in a path of 263
      {longest, true},                           // a bare name: no folder to count
      {longest + u"n", false},                   // 256 characters
      {u"C:" + std::u16string(u"a.exe"), true},  // beside the drive's current folder
      {deep + u"a.ex", true},                    // the path 259 characters long
      {deep + u"a.exe", false},                  // 260
      {u"C:\\Apps\\", false},                    // no name at all
      {u"C:\\Apps\\..", false},
  };
  for (const Case& c : cases) {
    const std::optional<std::u16string> path = SetAsidePath(1, c.target);
    EXPECT_EQ(path.has_value(), c.fits) << ToUtf8(c.target);
    if (path) {
      EXPECT_LT(path->size(), 260u);
      EXPECT_EQ(SetAsideTarget(path->substr(FolderBeside(*path).size())),
                c.target.substr(FolderBeside(c.target).size()));
    }
  }
}
