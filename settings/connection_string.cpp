#include "settings/connection_string.h"

namespace {

bool NeedsQuotes(const std::u16string& value) {
  if (value.empty()) return false;
  if (value.front() <= u' ' || value.back() <= u' ') return true;  // blanks around a value are dropped
  if (value.front() == u'"' || value.front() == u'\'') return true;
  return value.find(u';') != std::u16string::npos;
}

}  // namespace

std::u16string QuoteConnectionStringValue(const std::u16string& value) {
  if (!NeedsQuotes(value)) return value;
  const bool hasDouble = value.find(u'"') != std::u16string::npos;
  const bool hasSingle = value.find(u'\'') != std::u16string::npos;
  if (!hasDouble) return u'"' + value + u'"';
  if (!hasSingle) return u'\'' + value + u'\'';
  // Both quote marks inside: double quotes around, each inner one doubled.
  std::u16string quoted = u"\"";
  for (char16_t c : value) {
    quoted += c;
    if (c == u'"') quoted += c;
  }
  return quoted + u'"';
}

std::u16string BuildConnectionString(const DatabaseLogin& login) {
  return u"Provider=" + QuoteConnectionStringValue(login.provider) + u";" + u"Persist Security Info=False;" +
         u"User ID=" + QuoteConnectionStringValue(login.user) + u";" + u"Password=" +
         QuoteConnectionStringValue(login.password) + u";" + u"Initial Catalog=" +
         QuoteConnectionStringValue(login.catalog) + u";" + u"Data Source=" + QuoteConnectionStringValue(login.server);
}
