#include "platform/rules/connection_string.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/text.h"

using platform::BuildConnectionString;
using platform::ConnectionProperties;
using platform::DatabaseLogin;
using platform::QuoteConnectionStringValue;

TEST(ConnectionProperties, ReadsKeysWithoutCaseAndTheLastEntryWins) {
  const auto properties =
      ConnectionProperties::Parse(u" provider = SQLOLEDB ;;DATA SOURCE=a; Data Source = b ;Password='x;\"y''z' ");
  EXPECT_EQ(properties.Find(u"Provider"), u"SQLOLEDB");
  EXPECT_EQ(properties.Find(u"data source"), u"b");
  EXPECT_EQ(properties.Find(u"Password"), u"x;\"y'z");
  EXPECT_EQ(properties.Find(u"User ID"), std::nullopt);
}

TEST(ConnectionProperties, MalformedStringsAreRefused) {
  for (const char16_t* text :
       {u"Provider", u"Provider=MSDASQL;Data Source", u"Password=\"open", u"Password='a'b", u"=value"}) {
    EXPECT_THROW(ConnectionProperties::Parse(text), EDatabaseError) << ToUtf8(text);
  }
}

TEST(ConnectionString, PlainValuesGoInUnchangedInTheirFixedOrder) {
  const DatabaseLogin login{u"SQLOLEDB.1", u"tav", u"secret=1", u"TavDB", u"10.0.0.5\\SQL,1433"};
  EXPECT_EQ(BuildConnectionString(login),
            u"Provider=SQLOLEDB.1;Persist Security Info=False;User ID=tav;Password=secret=1;Initial Catalog=TavDB;"
            u"Data Source=10.0.0.5\\SQL,1433");
}

// With Windows authentication neither the user nor the password goes into the string.
TEST(ConnectionString, WindowsAuthenticationSendsNoUserAndNoPassword) {
  const DatabaseLogin login{u"SQLOLEDB.1", u"tav", u"secret", u"TavDB", u"sqlserver01", true};
  EXPECT_EQ(BuildConnectionString(login),
            u"Provider=SQLOLEDB.1;Persist Security Info=False;Integrated Security=SSPI;Initial Catalog=TavDB;"
            u"Data Source=sqlserver01");
}

TEST(ConnectionString, EmptySlotsLeaveTheFixedPiecesAlone) {
  EXPECT_EQ(BuildConnectionString({}),
            u"Provider=;Persist Security Info=False;User ID=;Password=;Initial Catalog=;Data Source=");
}

TEST(ConnectionString, ValuesThatWouldBreakTheStringAreQuoted) {
  struct Case {
    std::u16string value, quoted;
  } cases[] = {
      {u"a;b", u"\"a;b\""},
      {u" lead", u"\" lead\""},
      {u"trail\t", u"\"trail\t\""},
      {u"\"q", u"'\"q'"},
      {u"'q", u"\"'q\""},
      {u"it's;\"x\"", u"\"it's;\"\"x\"\"\""},
      {u"in\"side", u"in\"side"},  // a quote inside a value needs nothing
      {u"", u""},
  };
  for (const Case& c : cases) EXPECT_EQ(QuoteConnectionStringValue(c.value), c.quoted) << ToUtf8(c.value);
}

// What the builder writes, the database layer reads back as the same five values: a password
// cannot add or replace an entry.
TEST(ConnectionString, EveryValueReadsBackUnchanged) {
  const std::u16string hostile[] = {u"x;Data Source=evil",      u"  spaced  ", u"\"dq\";'sq'", u"'", u"\"", u"a==b",
                                    u"\u00e9t\u00e9;\U0001F600"};
  for (const std::u16string& value : hostile) {
    const DatabaseLogin login{u"SQLOLEDB.1", value, value, value, u"db.example"};
    const auto properties = ConnectionProperties::Parse(BuildConnectionString(login));
    EXPECT_EQ(properties.Find(u"password"), value) << ToUtf8(value);
    EXPECT_EQ(properties.Find(u"User ID"), value);
    EXPECT_EQ(properties.Find(u"Initial Catalog"), value);
    EXPECT_EQ(properties.Find(u"Data Source"), u"db.example");
    EXPECT_EQ(properties.Find(u"Provider"), u"SQLOLEDB.1");
  }
}
