#pragma once

#include <string>
#include <vector>

#include "platform/connection_string.h"

namespace platform {

// How ODBC opens the connection that an ADO-style connection string describes.
struct OdbcLogin {
  std::u16string connectionString;  // for SQLDriverConnectW
  std::u16string catalog;           // made current after connecting, when not empty
};

// The provider named in the string decides the way in: a SQL Server provider goes through the
// best SQL Server driver among installedDrivers (the names SQLDrivers lists), set to treat
// encryption as the OLE DB providers did; the OLE DB provider for ODBC goes through the data source
// named by "Data Source". A provider is named whole, optionally followed by its version ("SQLOLEDB",
// "SQLOLEDB.1", "SQLNCLI11"). Any other provider, or no SQL Server driver installed, throws the
// EDatabaseError a user gets for a provider that is not installed.
OdbcLogin MapToOdbc(const ConnectionProperties& properties, const std::vector<std::u16string>& installedDrivers);

// How a driver reads a value in braces. ODBC's own rule (the Windows driver manager and
// Microsoft's drivers) reads "}}" inside braces as one "}". FreeTDS reads up to the first "}"
// that a ";" follows and takes everything before it as it stands.
enum class BraceRule { Odbc, FreeTds };

// A value for an ODBC connection string: in braces only when it would otherwise be read as more
// than one attribute or lose its surrounding blanks (a ";", a leading "{", a blank at an end).
// Throws EDatabaseError for a value that the rule cannot carry whole (FreeTDS: one holding "};"),
// rather than let its rest be read as further attributes.
std::u16string QuoteOdbcValue(std::u16string_view key, const std::u16string& value, BraceRule rule);

}  // namespace platform
