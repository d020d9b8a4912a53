#include "platform/win32/odbc_diagnostics.h"

#include "base/text.h"
#include "platform/win32/wide.h"

namespace platform {

std::u16string OdbcDiagnosticText(SQLSMALLINT kind, SQLHANDLE handle) {
  SQLWCHAR state[6] = {};
  SQLINTEGER native = 0;
  std::u16string message(512, u'\0');
  SQLSMALLINT length = 0;
  for (;;) {
    const SQLRETURN rc = SQLGetDiagRecW(kind, handle, 1, state, &native, Wide(message),
                                        static_cast<SQLSMALLINT>(message.size()), &length);
    if (!SQL_SUCCEEDED(rc)) return u"Unspecified error";
    // The length counts the whole message; a larger one means the buffer cut it short.
    if (static_cast<size_t>(length) < message.size()) break;
    message.assign(static_cast<size_t>(length) + 1, u'\0');
  }
  message.resize(static_cast<size_t>(length));
  const std::u16string text = TrimTrailingStopsAndBlanks(message);
  return text.empty() ? u"Unspecified error" : text;
}

}  // namespace platform
