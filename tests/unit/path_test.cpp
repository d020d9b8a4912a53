#include "update/path.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/unit/error_outcome.h"

namespace {

const std::string kInvalidPath = "EArgumentException: Invalid characters in path";
const std::string kTooLong = "EPathTooLongException: The specified path is too long";
const std::string kNotSupported = "ENotSupportedException: The path format is not supported";
const std::string kInvalidPattern = "EArgumentException: Invalid characters in search pattern";

TEST(PathCharacters, SetsHold36And41Characters) {
  int path = 0;
  int fileName = 0;
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    path += IsInvalidPathChar(static_cast<char16_t>(c));
    fileName += IsInvalidFileNameChar(static_cast<char16_t>(c));
  }
  EXPECT_EQ(path, 36);
  EXPECT_EQ(fileName, 41);
  for (char16_t c : std::u16string_view(u"\"<>|\x1f")) EXPECT_TRUE(IsInvalidPathChar(c));
  for (char16_t c : std::u16string_view(u"*/:?\\")) EXPECT_TRUE(IsInvalidFileNameChar(c) && !IsInvalidPathChar(c));
}

TEST(TPath, GetFileName) {
  const struct {
    std::u16string path;
    std::string outcome;
    std::u16string name;
  } cases[] = {
      {u"", "ok", u""},
      {u"G:setup.exe", "ok", u"setup.exe"},
      {u"C:\\Apps\\b.txt", "ok", u"b.txt"},
      {u"C:\\Apps/b.txt", "ok", u"b.txt"},
      {u"C:\\Apps\\", "ok", u""},
      {u"name", "ok", u"name"},
      {u"a*b?", "ok", u"a*b?"},
      {u"C:\\a|b", kInvalidPath, u""},
      {u"C:\\a\tb", kInvalidPath, u""},
  };
  for (const auto& c : cases) {
    std::u16string name;
    EXPECT_EQ(Outcome([&] { name = TPath::GetFileName(c.path); }), c.outcome) << ToUtf8(c.path);
    EXPECT_EQ(ToUtf8(name), ToUtf8(c.name)) << ToUtf8(c.path);
  }
}

struct JoinCase {
  std::u16string first;
  std::u16string second;
  std::string combine;  // outcome of TPath::Combine
  std::string listed;   // outcome of the listing's join
  std::u16string joined;
};

TEST(TPath, CombineAndListingJoin) {
  const JoinCase cases[] = {
      {u"", u"x", "ok", "ok", u"x"},
      {u"a", u"", "ok", "ok", u"a"},
      {u"", u"a|", "ok", "ok", u"a|"},  // an empty part leaves the other untested
      {u"C:\\d", u"f.exe", "ok", "ok", u"C:\\d\\f.exe"},
      {u"C:\\d\\", u"f.exe", "ok", "ok", u"C:\\d\\f.exe"},
      {u"C:\\d/", u"f.exe", "ok", "ok", u"C:\\d/f.exe"},
      {u"G:", u"f.exe", "ok", "ok", u"G:f.exe"},
      {u"G:", u"*", "ok", "ok", u"G:*"},
      {u"C:\\d", u"\\f", "ok", "ok", u"\\f"},
      {u"C:\\d", u"/f", "ok", "ok", u"/f"},
      {u"C:\\d", u"E:f", "ok", "ok", u"E:f"},
      {u"C:\\d", u"\\\\?\\C:\\f", "ok", "ok", u"\\\\?\\C:\\f"},
      {u"C:\\d", u"\\\\?\\UNC\\s\\f", "ok", "ok", u"\\\\?\\UNC\\s\\f"},
      {u"C:\\d|", u"f", kInvalidPath, "ok", u"C:\\d|\\f"},  // the listing leaves its folder untested
      {u"C:\\d", u"f>", kInvalidPath, kInvalidPath, u""},
      {u"C:\\d", u"\"f", kInvalidPath, kInvalidPath, u""},
  };
  for (const JoinCase& c : cases) {
    std::u16string combined;
    std::u16string listed;
    EXPECT_EQ(Outcome([&] { combined = TPath::Combine(c.first, c.second); }), c.combine)
        << ToUtf8(c.first) << " + " << ToUtf8(c.second);
    EXPECT_EQ(Outcome([&] { listed = JoinListed(c.first, c.second); }), c.listed)
        << ToUtf8(c.first) << " + " << ToUtf8(c.second);
    if (c.listed == "ok") {
      EXPECT_EQ(ToUtf8(listed), ToUtf8(c.joined));
    }
    if (c.combine == "ok") {
      EXPECT_EQ(ToUtf8(combined), ToUtf8(c.joined));
    }
  }
}

TEST(PathRules, ColonAfterDrivePart) {
  const struct {
    std::u16string path;
    bool colon;
  } cases[] = {
      {u"", false},
      {u"C:\\Apps", false},
      {u"G:", false},
      {u"z:Apps", false},
      {u"C:\\Apps:x", true},
      {u"1:\\Apps", true},
      {u"\\\\?\\C:\\Apps", false},
      {u"\\\\?\\C:\\Apps:x", true},
      {u"\\\\?\\UNC\\srv\\share", false},
      {u"\\\\?\\UNC\\C:\\x", false},
      {u"\\\\srv\\share:x", true},
      {u"C::", true},
  };
  for (const auto& c : cases) EXPECT_EQ(HasColonAfterDrive(c.path), c.colon) << ToUtf8(c.path);
}

TEST(PathRules, FormChecksInTheirOrder) {
  const std::u16string folder247 = u"C:\\" + std::u16string(244, u'f');
  const std::u16string file259 = u"C:\\" + std::u16string(256, u'f');
  const std::u16string prefixed = u"\\\\?\\C:\\" + std::u16string(400, u'f');
  const struct {
    std::u16string path;
    size_t limit;
    std::string outcome;
  } cases[] = {
      {folder247, kFolderPathLimit, "ok"},
      {folder247 + u"f", kFolderPathLimit, kTooLong},
      {file259, kFilePathLimit, "ok"},
      {file259 + u"f", kFilePathLimit, kTooLong},
      {prefixed, kFilePathLimit, "ok"},
      {file259 + u":|", kFilePathLimit, kTooLong},   // length is checked first
      {u"C:\\a:b|", kFilePathLimit, kNotSupported},  // then the colon
      {u"   ", kFilePathLimit, kInvalidPath},
      {u"", kFilePathLimit, kInvalidPath},
      {u"C:\\a<b", kFilePathLimit, kInvalidPath},
      {prefixed + u"|", kFilePathLimit, kInvalidPath},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Outcome([&] { CheckPathForm(c.path, c.limit); }), c.outcome) << c.path.size();
  }
}

TEST(PathRules, SearchPatternChecks) {
  const struct {
    std::u16string pattern;
    std::string outcome;
  } cases[] = {
      {u"*.exe", "ok"},
      {u"a?c*", "ok"},
      {u"*.exe ", "ok"},
      {u"[!a]*", "ok"},
      {u"", kInvalidPattern},
      {u"  \t", kInvalidPattern},
      {u"sub\\*.exe", kInvalidPattern},
      {u"a:b", kInvalidPattern},
      {u"a/b", kInvalidPattern},
      {u"a|b", kInvalidPattern},
      {u"a\x01", kInvalidPattern},
      {u"\\\\?\\*.exe", "ok"},
      {u"\\\\?\\UNC\\*", "ok"},
      {u"\\\\?\\a\\b", kInvalidPattern},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Outcome([&] { CheckSearchPattern(c.pattern); }), c.outcome) << ToUtf8(c.pattern);
  }
}

TEST(PathRules, FolderPart) {
  const struct {
    std::u16string fullPath;
    std::u16string folder;
  } cases[] = {
      {u"C:\\name", u"C:\\"},
      {u"C:\\dir\\name", u"C:\\dir"},
      {u"C:/dir/name", u"C:/dir"},
      {u"\\\\srv\\share\\name", u"\\\\srv\\share"},
      {u"\\\\?\\C:\\name", u"\\\\?\\C:\\"},
      {u"\\\\?\\C:\\dir\\name", u"\\\\?\\C:\\dir"},
      {u"name", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(FolderPart(c.fullPath)), ToUtf8(c.folder)) << ToUtf8(c.fullPath);
}

// What a file placed beside a path is named with, so that it stays on the path's volume.
TEST(PathRules, FolderBeside) {
  const struct {
    std::u16string path;
    std::u16string folder;
  } cases[] = {
      {u"C:\\dir\\name", u"C:\\dir\\"},
      {u"C:/dir/name", u"C:/dir/"},
      {u"\\\\srv\\share\\name", u"\\\\srv\\share\\"},
      {u"C:name", u"C:"},
      {u"name", u""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(FolderBeside(c.path)), ToUtf8(c.folder)) << ToUtf8(c.path);
}

}  // namespace
