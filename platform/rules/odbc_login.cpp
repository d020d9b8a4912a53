#include "platform/rules/odbc_login.h"

#include <array>
#include <string_view>

#include "base/ascii_case.h"
#include "base/exception.h"

namespace platform {
namespace {

constexpr std::array<std::u16string_view, 3> kSqlServerProviders = {u"SQLOLEDB", u"SQLNCLI", u"MSOLEDBSQL"};
constexpr std::u16string_view kOdbcProvider = u"MSDASQL";

struct SqlServerDriver {
  std::u16string_view name;
  // Fixed attributes the driver needs to log in as the OLE DB providers did: no encryption asked
  // for beyond the login's, everything encrypted when the server demands it, and the server's
  // certificate then taken unchecked (most servers have only the self-signed one they made).
  std::u16string_view attributes;
  BraceRule braces;
};

// Best first: the current Microsoft drivers, the older native client and the one every Windows
// has, then FreeTDS, which is what Linux (and Wine on it) offers.
constexpr std::array<SqlServerDriver, 5> kSqlServerDrivers = {{
    // Encrypts and checks the certificate by default. "Optional" encrypts only what the server
    // demands; trusting the certificate keeps such a server reachable, and means nothing otherwise.
    {u"ODBC Driver 18 for SQL Server", u"Encrypt=Optional;TrustServerCertificate=yes;", BraceRule::Odbc},
    // These behave as the providers by default, and so does FreeTDS ("request" encryption, no
    // certificate check unless its configuration names a CA file). Settings a site made for all
    // programs (the client's forced encryption, freetds.conf) still apply.
    {u"ODBC Driver 17 for SQL Server", u"", BraceRule::Odbc},
    {u"SQL Server Native Client 11.0", u"", BraceRule::Odbc},
    {u"SQL Server", u"", BraceRule::Odbc},
    // FreeTDS also speaks the Sybase protocol and, left to choose, retries in it after a silent SQL
    // Server, doubling the login time-out and more; SQL Server speaks TDS 7.
    {u"FreeTDS", u"TDS_Version=7.4;", BraceRule::FreeTds},
}};

[[noreturn]] void ThrowProviderNotFound() {
  throw EDatabaseError(u"Provider cannot be found. It may not be properly installed");
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// What follows a provider's name in its versioned names: digits, then any number of "." and
// digits ("", "11", ".1", "11.1").
bool IsVersionSuffix(std::u16string_view suffix) {
  size_t i = 0;
  while (i < suffix.size() && IsDigit(suffix[i])) ++i;
  while (i < suffix.size()) {
    if (suffix[i] != u'.') return false;
    const size_t digits = ++i;
    while (i < suffix.size() && IsDigit(suffix[i])) ++i;
    if (i == digits) return false;
  }
  return true;
}

bool NamesProvider(std::u16string_view provider, std::u16string_view name) {
  return StartsWithIgnoringAsciiCase(provider, name) && IsVersionSuffix(provider.substr(name.size()));
}

bool NamesSqlServerProvider(std::u16string_view provider) {
  for (std::u16string_view name : kSqlServerProviders) {
    if (NamesProvider(provider, name)) return true;
  }
  return false;
}

struct InstalledDriver {
  const SqlServerDriver& kind;
  std::u16string name;  // as installed
};

InstalledDriver BestSqlServerDriver(const std::vector<std::u16string>& installed) {
  for (const SqlServerDriver& wanted : kSqlServerDrivers) {
    for (const std::u16string& driver : installed) {
      if (EqualsIgnoringAsciiCase(driver, wanted.name)) return {wanted, driver};
    }
  }
  ThrowProviderNotFound();
}

std::u16string Braced(std::u16string_view key, const std::u16string& value, BraceRule rule) {
  if (rule == BraceRule::FreeTds) {
    // There the value would end at the "};" and its rest be read as attributes of their own.
    if (value.find(u"};") != std::u16string::npos) {
      throw EDatabaseError(u"The FreeTDS driver cannot take a " + std::u16string(key) + u" that holds \"};\"");
    }
    return u'{' + value + u'}';
  }
  std::u16string quoted = u"{";
  for (char16_t c : value) {
    quoted += c;
    if (c == u'}') quoted += c;
  }
  return quoted + u'}';
}

class OdbcStringBuilder {
 public:
  explicit OdbcStringBuilder(BraceRule braces) : braces_(braces) {}
  // Every attribute ends in ";": FreeTDS's wide entry point keeps the closing brace of a braced
  // value that ends the string.
  void Add(std::u16string_view key, const std::u16string& value) {
    text_ += key;
    text_ += u'=';
    text_ += QuoteOdbcValue(key, value, braces_);
    text_ += u';';
  }
  // Only entries the ADO string holds: an absent one leaves the driver's or the data source's default.
  void AddIfPresent(std::u16string_view key, const std::optional<std::u16string>& value) {
    if (value) Add(key, *value);
  }
  void AddVerbatim(std::u16string_view attributes) { text_ += attributes; }
  std::u16string Text() const { return text_; }

 private:
  BraceRule braces_;
  std::u16string text_;
};

// "Integrated Security=SSPI", the OLE DB providers' way to ask for the signed-in user's Windows
// identity.
bool AsksForWindowsIdentity(const ConnectionProperties& properties) {
  const std::optional<std::u16string> security = properties.Find(u"Integrated Security");
  return security && EqualsIgnoringAsciiCase(*security, u"SSPI");
}

void AddLogin(OdbcStringBuilder& builder, const ConnectionProperties& properties) {
  // Every driver Kestrane picks reads it (FreeTDS as well: Kerberos, or SSPI on Windows); a user
  // name or password beside it would ask for a SQL Server login after all, so none is sent.
  if (AsksForWindowsIdentity(properties)) {
    builder.AddVerbatim(u"Trusted_Connection=Yes;");
    return;
  }
  builder.AddIfPresent(u"UID", properties.Find(u"User ID"));
  builder.AddIfPresent(u"PWD", properties.Find(u"Password"));
}

OdbcLogin SqlServerLogin(const ConnectionProperties& properties, const std::vector<std::u16string>& installedDrivers) {
  const InstalledDriver driver = BestSqlServerDriver(installedDrivers);
  OdbcStringBuilder builder(driver.kind.braces);
  builder.Add(u"DRIVER", driver.name);
  builder.AddVerbatim(driver.kind.attributes);
  builder.AddIfPresent(u"SERVER", properties.Find(u"Data Source"));
  builder.AddIfPresent(u"DATABASE", properties.Find(u"Initial Catalog"));
  AddLogin(builder, properties);
  return {.connectionString = builder.Text(), .catalog = {}};
}

OdbcLogin DataSourceLogin(const ConnectionProperties& properties) {
  OdbcStringBuilder builder(BraceRule::Odbc);
  builder.AddIfPresent(u"DSN", properties.Find(u"Data Source"));
  AddLogin(builder, properties);
  // A data source names its own database; a catalog is made current once connected.
  return {.connectionString = builder.Text(), .catalog = properties.Find(u"Initial Catalog").value_or(u"")};
}

}  // namespace

std::u16string QuoteOdbcValue(std::u16string_view key, const std::u16string& value, BraceRule rule) {
  const bool needsBraces = !value.empty() && (value.front() <= u' ' || value.back() <= u' ' || value.front() == u'{' ||
                                              value.find(u';') != std::u16string::npos);
  return needsBraces ? Braced(key, value, rule) : value;
}

OdbcLogin MapToOdbc(const ConnectionProperties& properties, const std::vector<std::u16string>& installedDrivers) {
  const std::u16string provider = properties.Find(u"Provider").value_or(std::u16string(kOdbcProvider));
  if (NamesSqlServerProvider(provider)) return SqlServerLogin(properties, installedDrivers);
  if (NamesProvider(provider, kOdbcProvider)) return DataSourceLogin(properties);
  ThrowProviderNotFound();
}

}  // namespace platform
