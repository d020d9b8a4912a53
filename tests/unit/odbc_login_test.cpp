#include "platform/odbc_login.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/text.h"

using platform::ConnectionProperties;
using platform::MapToOdbc;

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

namespace {

std::u16string Mapped(const std::u16string& text, const std::vector<std::u16string>& drivers) {
  return MapToOdbc(ConnectionProperties::Parse(text), drivers).connectionString;
}

}  // namespace

TEST(OdbcLogin, SqlServerProvidersTakeTheBestInstalledDriver) {
  struct Case {
    const char16_t* provider;
    std::vector<std::u16string> drivers;
    const char16_t* driver;
  } cases[] = {
      {u"SQLOLEDB.1",
       {u"SQL Server", u"ODBC Driver 17 for SQL Server", u"ODBC Driver 18 for SQL Server"},
       u"ODBC Driver 18 for SQL Server"},
      {u"sqloledb", {u"SQL Server", u"SQL Server Native Client 11.0"}, u"SQL Server Native Client 11.0"},
      {u"SQLNCLI11", {u"SQLite3", u"SQL Server"}, u"SQL Server"},
      {u"MSOLEDBSQL19", {u"SQLite3", u"FreeTDS"}, u"FreeTDS;TDS_Version=7.4"},
  };
  for (const Case& c : cases) {
    const std::u16string provider = u"Provider=" + std::u16string(c.provider);
    // The password holds ";" and "}" once the ADO string is read, so it goes in braces.
    EXPECT_EQ(Mapped(provider + u";Persist Security Info=False;User ID=tav;Password=\"p;w}d\";Initial Catalog=TavDB;"
                                u"Data Source=10.0.0.5,1433",
                     c.drivers),
              u"DRIVER=" + std::u16string(c.driver) + u";SERVER=10.0.0.5,1433;DATABASE=TavDB;UID=tav;PWD={p;w}}d};")
        << ToUtf8(c.provider);
  }
}

TEST(OdbcLogin, OdbcProviderNamesADataSourceAndKeepsTheCatalogApart) {
  const auto login = MapToOdbc(
      ConnectionProperties::Parse(u"Provider=MSDASQL.1;User ID=;Password=;Initial Catalog=Main;Data Source=Kestrane"),
      {});
  EXPECT_EQ(login.connectionString, u"DSN=Kestrane;UID=;PWD=;");
  EXPECT_EQ(login.catalog, u"Main");
  // Without a provider entry ADO takes the OLE DB provider for ODBC.
  EXPECT_EQ(Mapped(u"Data Source= Kestrane ", {}), u"DSN=Kestrane;");
}

TEST(OdbcLogin, ProvidersThatAreNotInstalledFailAlike) {
  const std::vector<std::u16string> onlySqlite = {u"SQLite3"};
  for (const char16_t* text : {u"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x", u"Provider=;Data Source=x",
                               u"Provider=SQLOLEDB.1;Data Source=x", u"Provider=XSQLOLEDB;Data Source=x"}) {
    try {
      MapToOdbc(ConnectionProperties::Parse(text), onlySqlite);
      ADD_FAILURE() << ToUtf8(text);
    } catch (const EDatabaseError& error) {
      EXPECT_EQ(error.Message(), u"Provider cannot be found. It may not be properly installed");
    }
  }
}

TEST(OdbcLogin, BracesOnlyWhereTheOdbcStringNeedsThem) {
  EXPECT_EQ(platform::QuoteOdbcValue(u"plain=1"), u"plain=1");
  EXPECT_EQ(platform::QuoteOdbcValue(u"{x"), u"{{x}");
  EXPECT_EQ(platform::QuoteOdbcValue(u" x"), u"{ x}");
  EXPECT_EQ(platform::QuoteOdbcValue(u"a;b}"), u"{a;b}}}");
}
