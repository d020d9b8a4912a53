#pragma once

#include <string>
#include <vector>

#include "platform/win32/odbc_handle.h"

namespace platform {

// The names of the ODBC drivers installed on this machine, as SQLDrivers lists them.
std::vector<std::u16string> InstalledOdbcDrivers(SQLHENV environment);

}  // namespace platform
