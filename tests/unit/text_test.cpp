#include "base/text.h"

#include <gtest/gtest.h>

TEST(Text, TrimRemovesControlCharactersAndBlanksAtBothEnds) {
  EXPECT_EQ(Trim(u" \t\x01 a b \r\n"), u"a b");
  EXPECT_EQ(Trim(u"   "), u"");
  EXPECT_EQ(Trim(u"\u00a0x\u00a0"), u"\u00a0x\u00a0");  // only U+0000..U+0020 count
}

TEST(Text, TrailingStopsAndBlanksGoOneAfterTheOther) {
  EXPECT_EQ(TrimTrailingStopsAndBlanks(u"Access is denied.\r\n"), u"Access is denied");
  EXPECT_EQ(TrimTrailingStopsAndBlanks(u"Wait. . .  "), u"Wait");
  EXPECT_EQ(TrimTrailingStopsAndBlanks(u"(done)!"), u"(done)!");
  EXPECT_EQ(TrimTrailingStopsAndBlanks(u"..."), u"");
}

TEST(Text, Utf8RoundTripKeepsSurrogatePairs) {
  const std::u16string text = u"G:\\Tav\u00e9\U0001F600.exe";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"\xD800"), "\xEF\xBF\xBD");
}

TEST(Text, ACutNeverPartsACharactersHalves) {
  const struct {
    std::u16string text;
    size_t most;
    std::u16string expected;
  } cases[] = {
      {u"abc", 5, u"abc"},
      {u"abc", 2, u"ab"},
      {u"ab\U0001F600", 3, u"ab"},  // the cut falls between the halves
      {u"ab\U0001F600", 4, u"ab\U0001F600"},
      {u"\U0001F600", 1, u""},
      {u"abc", 0, u""},
  };
  for (const auto& c : cases) EXPECT_EQ(CutWithin(c.text, c.most), c.expected) << ToUtf8(c.text) << " " << c.most;
}
