#include "platform/odbc_login.h"

#include <array>
#include <string_view>

#include "base/ascii_case.h"
#include "base/exception.h"

namespace platform {
namespace {

constexpr std::array<std::u16string_view, 3> kSqlServerProviders = {u"SQLOLEDB", u"SQLNCLI", u"MSOLEDBSQL"};
constexpr std::u16string_view kOdbcProvider = u"MSDASQL";

// Best first: the current Microsoft drivers, the older native client and the one every Windows
// has, then FreeTDS, which is what Linux (and Wine on it) offers.
constexpr std::array<std::u16string_view, 5> kSqlServerDrivers = {
    u"ODBC Driver 18 for SQL Server", u"ODBC Driver 17 for SQL Server", u"SQL Server Native Client 11.0", u"SQL Server",
    u"FreeTDS"};

[[noreturn]] void ThrowProviderNotFound() {
  throw EDatabaseError(u"Provider cannot be found. It may not be properly installed");
}

bool IsOneOf(std::u16string_view provider, const auto& prefixes) {
  for (std::u16string_view prefix : prefixes) {
    if (StartsWithIgnoringAsciiCase(provider, prefix)) return true;
  }
  return false;
}

std::u16string BestSqlServerDriver(const std::vector<std::u16string>& installed) {
  for (std::u16string_view wanted : kSqlServerDrivers) {
    for (const std::u16string& driver : installed) {
      if (EqualsIgnoringAsciiCase(driver, wanted)) return driver;
    }
  }
  ThrowProviderNotFound();
}

class OdbcStringBuilder {
 public:
  // Every attribute ends in ";": FreeTDS's wide entry point keeps the closing brace of a braced
  // value that ends the string.
  void Add(std::u16string_view key, const std::u16string& value) {
    text_ += key;
    text_ += u'=';
    text_ += QuoteOdbcValue(value);
    text_ += u';';
  }
  // Only entries the ADO string holds: an absent one leaves the driver's or the data source's default.
  void AddIfPresent(std::u16string_view key, const std::optional<std::u16string>& value) {
    if (value) Add(key, *value);
  }
  std::u16string Text() const { return text_; }

 private:
  std::u16string text_;
};

}  // namespace

std::u16string QuoteOdbcValue(const std::u16string& value) {
  const bool needsBraces = !value.empty() && (value.front() <= u' ' || value.back() <= u' ' || value.front() == u'{' ||
                                              value.find_first_of(u";}") != std::u16string::npos);
  if (!needsBraces) return value;
  std::u16string quoted = u"{";
  for (char16_t c : value) {
    quoted += c;
    if (c == u'}') quoted += c;
  }
  return quoted + u'}';
}

OdbcLogin MapToOdbc(const ConnectionProperties& properties, const std::vector<std::u16string>& installedDrivers) {
  const std::u16string provider = properties.Find(u"Provider").value_or(std::u16string(kOdbcProvider));
  OdbcStringBuilder builder;
  OdbcLogin login;
  if (IsOneOf(provider, kSqlServerProviders)) {
    const std::u16string driver = BestSqlServerDriver(installedDrivers);
    builder.Add(u"DRIVER", driver);
    // FreeTDS also speaks the Sybase protocol and, left to choose, retries in it after a
    // silent SQL Server, doubling the login time-out and more; SQL Server speaks TDS 7.
    if (EqualsIgnoringAsciiCase(driver, u"FreeTDS")) builder.Add(u"TDS_Version", u"7.4");
    builder.AddIfPresent(u"SERVER", properties.Find(u"Data Source"));
    builder.AddIfPresent(u"DATABASE", properties.Find(u"Initial Catalog"));
  } else if (StartsWithIgnoringAsciiCase(provider, kOdbcProvider)) {
    builder.AddIfPresent(u"DSN", properties.Find(u"Data Source"));
    // A data source names its own database; a catalog is made current once connected.
    login.catalog = properties.Find(u"Initial Catalog").value_or(u"");
  } else {
    ThrowProviderNotFound();
  }
  builder.AddIfPresent(u"UID", properties.Find(u"User ID"));
  builder.AddIfPresent(u"PWD", properties.Find(u"Password"));
  login.connectionString = builder.Text();
  return login;
}

}  // namespace platform
