#include "settings/authentication.h"

#include "base/ascii_case.h"
#include "base/exception.h"

Authentication ParseAuthentication(const std::u16string& value) {
  if (EqualsIgnoringAsciiCase(value, u"SQL")) return Authentication::Sql;
  if (EqualsIgnoringAsciiCase(value, u"Windows")) return Authentication::Windows;
  throw Exception(u"The value \"" + value +
                  u"\" of Authentication in section [Kestrane] of VUZuze16.cnf is not accepted: use SQL or Windows");
}
