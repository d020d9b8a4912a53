#include "update/publisher_pin.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "tests/unit/error_outcome.h"

namespace {

std::vector<uint8_t> Bytes(size_t count, uint8_t first) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(first + i));
  return bytes;
}

}  // namespace

TEST(PublisherPin, ListsLoseTheirBlanksAndEmptyItems) {
  const PublisherPin pin = ParsePublisherPin(u" Tavirel Software ; ;Tavirel Build;", u"", u" *.ini ;*.txt;;");
  EXPECT_EQ(pin.publishers, (std::vector<std::u16string>{u"Tavirel Software", u"Tavirel Build"}));
  EXPECT_TRUE(pin.thumbprints.empty());
  EXPECT_EQ(pin.unsignedFiles.size(), 2u);
  EXPECT_TRUE(pin.Active());
  EXPECT_FALSE(ParsePublisherPin(u" ; ", u"", u"*.ini").Active());
}

// As the certificate dialog and PowerShell show them: either letter case, in pairs or not, and the
// invisible left-to-right mark that copying from the dialog brings along.
TEST(PublisherPin, ThumbprintsOfBothLengthsInTheirUsualSpellings) {
  const std::u16string sha1 = u"000102030405060708090a0b0c0d0e0f10111213";
  const std::u16string sha256 =
      u"\u200EA0 A1 A2 A3 A4 A5 A6 A7 A8 A9 AA AB AC AD AE AF B0 B1 B2 B3 B4 B5 B6 B7 B8 B9 "
      u"BA BB BC BD BE BF";
  const PublisherPin pin = ParsePublisherPin(u"Tavirel Software", sha1 + u";" + sha256, u"");
  EXPECT_EQ(pin.thumbprints, (std::vector<std::vector<uint8_t>>{Bytes(20, 0x00), Bytes(32, 0xA0)}));
  EXPECT_EQ(ParsePublisherPin(u"x", u"000102030405060708090A0B0C0D0E0F10111213", u"").thumbprints,
            std::vector<std::vector<uint8_t>>{Bytes(20, 0x00)});
}

// A pin that cannot be read as written stops the update: guessing could let through what it was
// meant to keep out.
TEST(PublisherPin, WhatCannotBeReadStopsTheUpdateNamingKeyValueAndRule) {
  const std::string thumbprintRule =
      "use SHA-1 thumbprints (40 hexadecimal digits) or SHA-256 ones (64), separated by ;";
  struct Case {
    const char16_t *publisher, *thumbprint, *unsignedFiles;
    std::string outcome;
  } cases[] = {
      {u"p", u"0001020304", u"",
       "Exception: The value \"0001020304\" of PublisherThumbprint in section [Kestrane] of VUZuze16.cnf is not "
       "accepted: " +
           thumbprintRule},
      {u"p", u"000102030405060708090a0b0c0d0e0f1011121g", u"",
       "Exception: The value "
       "\"000102030405060708090a0b0c0d0e0f1011121g\" of PublisherThumbprint in section [Kestrane] of VUZuze16.cnf is "
       "not accepted: " +
           thumbprintRule},
      {u"p", u"000102030405060708090a0b0c0d0e0f101112131", u"",
       "Exception: The value "
       "\"000102030405060708090a0b0c0d0e0f101112131\" of PublisherThumbprint in section [Kestrane] of VUZuze16.cnf is "
       "not accepted: " +
           thumbprintRule},
      {u"", u"000102030405060708090a0b0c0d0e0f10111213", u"",
       "Exception: The value "
       "\"000102030405060708090a0b0c0d0e0f10111213\" of PublisherThumbprint in section [Kestrane] of VUZuze16.cnf is "
       "not accepted: it pins nothing without Publisher, the signer's name"},
      {u"p", u"", u"*.ini;[",
       "Exception: The value \"*.ini;[\" of Unsigned in section [Kestrane] of VUZuze16.cnf "
       "is not accepted: "},
  };
  for (const Case& c : cases) {
    const std::string outcome = Outcome([&] { ParsePublisherPin(c.publisher, c.thumbprint, c.unsignedFiles); });
    EXPECT_TRUE(outcome.starts_with(c.outcome)) << outcome;
  }
}

// Unsigned names data files with the row's pattern rules; nothing is checked without a publisher.
TEST(PublisherPin, WhichFilesAreChecked) {
  const PublisherPin pin = ParsePublisherPin(u"Tavirel Software", u"", u"*.ini;tav?.txt");
  struct Case {
    const char16_t* name;
    bool checked;
  } cases[] = {
      {u"tavMENU.exe", true}, {u"tav.ini", false},  {u"TAV.INI", false},
      {u"tav1.txt", false},   {u"tav12.txt", true}, {u"tav.ini.exe", true},
  };
  for (const Case& c : cases) EXPECT_EQ(pin.Checks(c.name), c.checked) << ToUtf8(c.name);
  EXPECT_FALSE(ParsePublisherPin(u"", u"", u"").Checks(u"tavMENU.exe"));
}
