#include "update/mask_matcher.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/unit/error_outcome.h"

namespace {

struct MatchCase {
  std::u16string pattern;
  std::u16string name;
  bool matches;
};

std::u16string Repeat(std::u16string_view piece, int times) {
  std::u16string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(MatchesMask, ElementTable) {
  const MatchCase cases[] = {
      // "*" runs
      {u"*.exe", u"a.exe", true},
      {u"*.exe", u"B.EXE", true},
      {u"*.exe", u"c.exe.bak", false},
      {u"*.exe", u".exe", true},
      {u"*.exe", u"exe", false},
      {u"*", u"", true},
      {u"*", u"README", true},
      {u"*.*", u"README", false},  // only the listing treats "*.*" as every name
      {u"a***b", u"ab", true},
      {u"*a*b*c", u"xxaxxbxxc", true},
      {u"*a*b*c", u"xxaxxcxxb", false},
      {u"*ab", u"aab", true},
      // "?" after a "*" run is dropped
      {u"a*?b", u"ab", true},
      {u"a?*b", u"ab", false},
      {u"a?*b", u"axb", true},
      {u"*?", u"", true},
      {u"*?*?", u"", true},
      {u"?", u"", false},
      {u"??", u"a", false},
      {u"a?c", u"abc", true},
      // sets, ranges and negation
      {u"[!a]*", u"b.txt", true},
      {u"[!a]*", u"A.txt", false},
      {u"[abc]", u"B", true},
      {u"[a-c]x", u"bX", true},
      {u"[a-c]", u"d", false},
      {u"[c-a]", u"b", false},  // a range whose upper end lies below adds nothing
      {u"[c-ad]", u"d", true},
      {u"[a-]]", u"]", true},  // "]" right after "-" is the range's upper end
      {u"[a-]]", u"^", false},
      {u"[A-z]", u"_", false},  // both ends fold to A..Z
      {u"[Z-a]", u"M", false},  // folds to Z..A: empty
      {u"[a--]", u"-", false},  // A..'-' is empty
      {u"[a-c-e]", u"-", true},
      {u"[!!]", u"!", false},
      {u"x[a]", u"x", false},  // a set never matches at the end of the name
      {u"x[!a]", u"x", false},
      {u"*[!a]", u"", false},
      {u"[\u00e9]", u"\u00e9", true},
      {u"[\u00e9]", u"\u00c9", false},
      {u"[!a]", u"\u0101", false},  // name characters above U+00FF are never in a set
      {u"[\u0100-\u0200]", u"\u0150", false},
      // letter case: a-z only
      {u"x*", u"Xylo", true},
      {u"X*", u"xylo", true},
      {u"\u00e9*", u"\u00c9t\u00e9", false},
      {u"\u00e9*", u"\u00e9t\u00e9", true},
      // surrogate pairs
      {u"\U0001F600", u"\U0001F600", true},
      {u"\U0001F600", u"\U0001F601", false},
      {u"?", u"\U0001F600", true},  // one character, two code units
      {u"??", u"\U0001F600", false},
      {u"[\U0001F600]", u"\U0001F600", false},
      {u"[\U0001F600a]", u"a", true},
      {u"*\U0001F600", u"x\U0001F600", true},
      {u"a\U0001F600*", u"A\U0001F600.txt", true},
      // trailing blanks are part of the pattern
      {u"*.exe ", u"a.exe", false},
      {u"*.exe ", u"a.exe ", true},
  };
  for (const MatchCase& c : cases) {
    EXPECT_EQ(MatchesMask(c.name, c.pattern), c.matches) << ToUtf8(c.pattern) << " over " << ToUtf8(c.name);
  }
}

struct FaultCase {
  std::u16string pattern;
  int position;  // 0: the pattern is readable
};

TEST(MatchesMask, FaultPositions) {
  const std::u16string thirtyStars = Repeat(u"*a", 30);
  const FaultCase cases[] = {
      {u"[-a]", 2},
      {u"[!-a]", 3},
      {u"x[]", 3},
      {u"[!]", 3},
      {u"[", 2},
      {u"[!", 3},
      {u"[a", 3},
      {u"[a-", 4},
      {u"[a-]", 5},
      {u"*.[ex", 6},
      {u"[a-c]-[-", 8},
      {thirtyStars, 0},
      {thirtyStars + u"bcdefghijklmnopqrstuvwxyz0123456789", 0},  // only elements ending a "*" run count
      {thirtyStars + u"*a", 62},
      {thirtyStars + u"**?*a", 65},
      {thirtyStars + u"*", 62},  // the end after a trailing "*" counts
      {thirtyStars + u"*??", 64},
      {thirtyStars + u"*[bc]", 65},  // a set is added at its "]"
      {Repeat(u"*?a", 30), 0},       // dropped "?" do not count
      {Repeat(u"a*", 29) + u"[b]*", 0},
      {Repeat(u"a*", 30), 0},
      {Repeat(u"a*", 31), 63},
  };
  for (const FaultCase& c : cases) {
    const std::string expected = c.position ? "EMaskException: '" + ToUtf8(c.pattern) + "' is an invalid mask at (" +
                                                  std::to_string(c.position) + ")"
                                            : "ok";
    EXPECT_EQ(Outcome([&] { MatchesMask(u"", c.pattern); }), expected) << ToUtf8(c.pattern);
  }
}

TEST(MatchesMask, UnreadablePatternFailsWhateverTheName) {
  for (const char16_t* name : {u".", u"[", u"zzz", u""}) {
    EXPECT_EQ(Outcome([&] { MatchesMask(name, u"["); }), "EMaskException: '[' is an invalid mask at (2)");
  }
}

TEST(MatchesMask, ManyStarsOverLongNameStayLinear) {
  // A backtracking matcher that revisits every "*" would never finish this.
  const std::u16string pattern = Repeat(u"*a", 30) + u"b";
  EXPECT_FALSE(MatchesMask(std::u16string(5000, u'a'), pattern));
  EXPECT_TRUE(MatchesMask(std::u16string(5000, u'a') + u"b", pattern));
}

}  // namespace
