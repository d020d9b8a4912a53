#pragma once

#include <string>

#include "platform/win32/odbc_handle.h"

namespace platform {

// The message of the first diagnostic record on the handle, trailing full stops and blanks
// removed: the text the driver (or the driver manager) gives for the failure just reported.
std::u16string OdbcDiagnosticText(SQLSMALLINT kind, SQLHANDLE handle);

}  // namespace platform

namespace platform {

// Turns a failed ODBC call into the error kind of the step that made it, with the driver's text.
template <typename Error>
void ThrowIfFailed(SQLRETURN rc, SQLSMALLINT kind, SQLHANDLE handle) {
  if (!SQL_SUCCEEDED(rc)) throw Error(OdbcDiagnosticText(kind, handle));
}

}  // namespace platform
