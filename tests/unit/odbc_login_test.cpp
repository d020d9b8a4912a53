#include "platform/rules/odbc_login.h"

#include <gtest/gtest.h>

#include "base/exception.h"
#include "base/text.h"

using platform::BraceRule;
using platform::ConnectionProperties;
using platform::MapToOdbc;
using platform::QuoteOdbcValue;

namespace {

std::u16string Mapped(const std::u16string& text, const std::vector<std::u16string>& drivers) {
  return MapToOdbc(ConnectionProperties::Parse(text), drivers).connectionString;
}

}  // namespace

// Each driver is set to treat encryption as the OLE DB providers did (Driver 18 alone would
// otherwise demand encryption and a certificate it can check), and braces a value by its own rule.
TEST(OdbcLogin, SqlServerProvidersTakeTheBestInstalledDriver) {
  struct Case {
    const char16_t* provider;
    std::vector<std::u16string> drivers;
    const char16_t* driverAttributes;
    const char16_t* password;  // "p;w}d" as the driver reads it
  } cases[] = {
      {u"SQLOLEDB.1",
       {u"SQL Server", u"ODBC Driver 17 for SQL Server", u"ODBC Driver 18 for SQL Server"},
       u"DRIVER=ODBC Driver 18 for SQL Server;Encrypt=Optional;TrustServerCertificate=yes;",
       u"{p;w}}d}"},
      {u"SQLNCLI11",
       {u"odbc driver 17 for sql server", u"FreeTDS"},
       u"DRIVER=odbc driver 17 for sql server;",
       u"{p;w}}d}"},
      {u"sqloledb",
       {u"SQL Server", u"SQL Server Native Client 11.0"},
       u"DRIVER=SQL Server Native Client 11.0;",
       u"{p;w}}d}"},
      {u"SQLNCLI11.1", {u"SQLite3", u"SQL Server"}, u"DRIVER=SQL Server;", u"{p;w}}d}"},
      {u"MSOLEDBSQL19", {u"SQLite3", u"FreeTDS"}, u"DRIVER=FreeTDS;TDS_Version=7.4;", u"{p;w}d}"},
  };
  for (const Case& c : cases) {
    const std::u16string provider = u"Provider=" + std::u16string(c.provider);
    EXPECT_EQ(
        Mapped(provider + u";Persist Security Info=False;User ID=tav;Password=\"p;w}d\";Initial Catalog=TavDB;"
                          u"Data Source=10.0.0.5,1433",
               c.drivers),
        std::u16string(c.driverAttributes) + u"SERVER=10.0.0.5,1433;DATABASE=TavDB;UID=tav;PWD=" + c.password + u";")
        << ToUtf8(c.provider);
  }
}

// Windows authentication reaches every driver Kestrane picks as Trusted_Connection, and no user name
// or password goes with it, whatever the string holds besides.
TEST(OdbcLogin, WindowsAuthenticationIsATrustedConnectionForEveryDriver) {
  struct Case {
    const char16_t* provider;
    std::u16string driver;
    const char16_t* mapped;
  } cases[] = {
      {u"SQLOLEDB.1", u"ODBC Driver 18 for SQL Server",
       u"DRIVER=ODBC Driver 18 for SQL Server;Encrypt=Optional;TrustServerCertificate=yes;SERVER=sqlserver01;"
       u"DATABASE=TavDB;Trusted_Connection=Yes;"},
      {u"SQLOLEDB.1", u"ODBC Driver 17 for SQL Server",
       u"DRIVER=ODBC Driver 17 for SQL Server;SERVER=sqlserver01;DATABASE=TavDB;Trusted_Connection=Yes;"},
      {u"SQLNCLI11", u"SQL Server Native Client 11.0",
       u"DRIVER=SQL Server Native Client 11.0;SERVER=sqlserver01;DATABASE=TavDB;Trusted_Connection=Yes;"},
      {u"MSOLEDBSQL", u"SQL Server", u"DRIVER=SQL Server;SERVER=sqlserver01;DATABASE=TavDB;Trusted_Connection=Yes;"},
      {u"SQLOLEDB", u"FreeTDS",
       u"DRIVER=FreeTDS;TDS_Version=7.4;SERVER=sqlserver01;DATABASE=TavDB;Trusted_Connection=Yes;"},
      {u"MSDASQL", u"SQLite3", u"DSN=sqlserver01;Trusted_Connection=Yes;"},
  };
  for (const Case& c : cases) {
    for (const char16_t* security : {u"SSPI", u"sspi"}) {
      EXPECT_EQ(Mapped(u"Provider=" + std::u16string(c.provider) + u";Integrated Security=" + security +
                           u";User ID=tav;Password=secret;Initial Catalog=TavDB;Data Source=sqlserver01",
                       {c.driver}),
                c.mapped)
          << ToUtf8(c.driver);
    }
  }
  // Anything but SSPI is no request for it: the login stays the one the string names.
  EXPECT_EQ(Mapped(u"Provider=SQLOLEDB;Integrated Security=false;User ID=tav;Password=p;Data Source=s", {u"FreeTDS"}),
            u"DRIVER=FreeTDS;TDS_Version=7.4;SERVER=s;UID=tav;PWD=p;");
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

// A provider is named whole or with its version; a name that merely starts like one is another
// provider, and not installed.
TEST(OdbcLogin, ProviderNamesMatchWholeWithAnOptionalVersion) {
  const std::vector<std::u16string> drivers = {u"SQLite3", u"FreeTDS"};
  struct Case {
    const char16_t* provider;
    const char16_t* mapped;  // the start of the ODBC string, or null when the provider is not found
  } cases[] = {
      {u"SQLOLEDB", u"DRIVER=FreeTDS;"},
      {u"SQLOLEDB.1", u"DRIVER=FreeTDS;"},
      {u"sqloledb.1", u"DRIVER=FreeTDS;"},
      {u"SQLNCLI11", u"DRIVER=FreeTDS;"},
      {u"SQLNCLI10.1", u"DRIVER=FreeTDS;"},
      {u"MSOLEDBSQL", u"DRIVER=FreeTDS;"},
      {u"MSOLEDBSQL19", u"DRIVER=FreeTDS;"},
      {u"MSDASQL", u"DSN=x;"},
      {u"MSDASQL.1", u"DSN=x;"},
      {u"MSDASQLX", nullptr},
      {u"SQLOLEDBjunk", nullptr},
      {u"SQLOLEDB.1a", nullptr},
      {u"SQLOLEDB.", nullptr},
      {u"SQLOLEDB..1", nullptr},
      {u"SQLOLEDB.1.", nullptr},
      {u"SQLOLEDB-1", nullptr},
      {u"XSQLOLEDB", nullptr},
      {u"SQLOLE", nullptr},
      {u"Microsoft.Jet.OLEDB.4.0", nullptr},
      {u"", nullptr},
  };
  for (const Case& c : cases) {
    const std::u16string text = u"Provider=" + std::u16string(c.provider) + u";Data Source=x";
    try {
      const std::u16string mapped = Mapped(text, drivers);
      EXPECT_TRUE(c.mapped && mapped.starts_with(c.mapped)) << ToUtf8(c.provider) << ": " << ToUtf8(mapped);
    } catch (const EDatabaseError& error) {
      EXPECT_EQ(c.mapped, nullptr) << ToUtf8(c.provider);
      EXPECT_EQ(error.Message(), u"Provider cannot be found. It may not be properly installed");
    }
  }
}

TEST(OdbcLogin, SqlServerProvidersWithoutASqlServerDriverAreNotInstalled) {
  try {
    Mapped(u"Provider=SQLOLEDB.1;Data Source=x", {u"SQLite3"});
    ADD_FAILURE();
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), u"Provider cannot be found. It may not be properly installed");
  }
}

// Braces only where a value needs them; inside them, ODBC's rule doubles "}", while FreeTDS takes
// the value as it stands and cannot end it anywhere but at a "}" that a ";" follows.
TEST(OdbcLogin, BracesOnlyWhereTheOdbcStringNeedsThem) {
  struct Case {
    std::u16string value, odbc, freeTds;
  } cases[] = {
      {u"plain=1", u"plain=1", u"plain=1"},
      {u"p}w{d", u"p}w{d", u"p}w{d"},
      {u"}", u"}", u"}"},
      {u"in side", u"in side", u"in side"},
      {u"", u"", u""},
      {u"a;b", u"{a;b}", u"{a;b}"},
      {u" x", u"{ x}", u"{ x}"},
      {u"x\t", u"{x\t}", u"{x\t}"},
      {u"{x", u"{{x}", u"{{x}"},
      {u"{x}", u"{{x}}}", u"{{x}}"},
      {u"a;b}", u"{a;b}}}", u"{a;b}}"},
      {u"a}b;c", u"{a}}b;c}", u"{a}b;c}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QuoteOdbcValue(u"PWD", c.value, BraceRule::Odbc), c.odbc) << ToUtf8(c.value);
    EXPECT_EQ(QuoteOdbcValue(u"PWD", c.value, BraceRule::FreeTds), c.freeTds) << ToUtf8(c.value);
  }
}

// In FreeTDS a braced value ends at the first "};": the rest of such a value would become
// attributes of its own (another port, another database), so it is refused instead.
TEST(OdbcLogin, FreeTdsRefusesAValueItWouldEndEarly) {
  EXPECT_EQ(QuoteOdbcValue(u"PWD", u"x};Port=1", BraceRule::Odbc), u"{x}};Port=1}");
  try {
    QuoteOdbcValue(u"PWD", u"x};Port=1", BraceRule::FreeTds);
    ADD_FAILURE();
  } catch (const EDatabaseError& error) {
    EXPECT_EQ(error.Message(), u"The FreeTDS driver cannot take a PWD that holds \"};\"");
  }
}
