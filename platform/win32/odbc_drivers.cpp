#include "platform/win32/odbc_drivers.h"
#include "platform/win32/wide.h"

namespace platform {

std::vector<std::u16string> InstalledOdbcDrivers(SQLHENV environment) {
  std::vector<std::u16string> drivers;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    SQLWCHAR name[512];
    SQLSMALLINT nameLength = 0;
    SQLWCHAR attributes[2];
    SQLSMALLINT attributesLength = 0;
    // Only the name matters; a cut attribute list still reports success with information.
    const SQLRETURN rc = SQLDriversW(environment, direction, name, SQLSMALLINT{512}, &nameLength, attributes,
                                     SQLSMALLINT{2}, &attributesLength);
    if (!SQL_SUCCEEDED(rc)) break;
    drivers.push_back(FromWide(name));
    direction = SQL_FETCH_NEXT;
  }
  return drivers;
}

}  // namespace platform
