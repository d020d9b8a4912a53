#pragma once

#include <string>
#include <vector>

#include "platform/connection_properties.h"

namespace platform {

// How ODBC opens the connection that an ADO-style connection string describes.
struct OdbcLogin {
  std::u16string connectionString;  // for SQLDriverConnectW
  std::u16string catalog;           // made current after connecting, when not empty
};

// The provider named in the string decides the way in: a SQL Server provider goes through the
// best SQL Server driver among installedDrivers (the names SQLDrivers lists), the OLE DB provider
// for ODBC through the data source named by "Data Source". Any other provider, or no SQL Server
// driver installed, throws the EDatabaseError a user gets for a provider that is not installed.
OdbcLogin MapToOdbc(const ConnectionProperties& properties, const std::vector<std::u16string>& installedDrivers);

// A value for an ODBC connection string: in braces (with "}" doubled) when it would otherwise be
// read as more than one attribute or lose its surrounding blanks.
std::u16string QuoteOdbcValue(const std::u16string& value);

}  // namespace platform
