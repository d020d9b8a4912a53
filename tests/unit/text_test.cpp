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
