#include <algorithm>
#include <vector>

#include "base/exception.h"
#include "platform/database_statement.h"
#include "platform/win32/odbc_connection.h"
#include "platform/win32/odbc_diagnostics.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

// Texts up to this length are described with it, so that every run sends a statement of the same
// shape and the server keeps one plan for it; a longer text is described with its own length.
constexpr SQLULEN kTextColumnSize = 4000;
// A moment to the millisecond: "yyyy-mm-dd hh:mm:ss.fff".
constexpr SQLULEN kTimeColumnSize = 23;
constexpr SQLSMALLINT kTimeFractionDigits = 3;

void Check(SQLRETURN rc, SQLHSTMT statement) { ThrowIfFailed<EOleException>(rc, SQL_HANDLE_STMT, statement); }

// What the driver reads a parameter from besides the value itself; it must stay in place until the
// statement has run.
struct ParameterBuffer {
  SQL_TIMESTAMP_STRUCT time{};
  SQLLEN length = 0;
};

// Input parameters are only read, so the values are bound where they are.
void Bind(SQLHSTMT statement, SQLUSMALLINT number, const StatementValue& value, ParameterBuffer& buffer) {
  if (const auto* text = std::get_if<std::u16string>(&value)) {
    buffer.length = static_cast<SQLLEN>(text->size() * sizeof(char16_t));
    Check(SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                           std::max<SQLULEN>(text->size(), kTextColumnSize), 0, const_cast<char16_t*>(text->data()),
                           buffer.length, &buffer.length),
          statement);
  } else if (const auto* whole = std::get_if<int32_t>(&value)) {
    Check(SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0,
                           const_cast<int32_t*>(whole), 0, nullptr),
          statement);
  } else {
    const UtcTime& moment = std::get<UtcTime>(value);
    buffer.time = {moment.year,
                   moment.month,
                   moment.day,
                   moment.hour,
                   moment.minute,
                   moment.second,
                   moment.millisecond * 1000000u};
    Check(SQLBindParameter(statement, number, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP,
                           kTimeColumnSize, kTimeFractionDigits, &buffer.time, sizeof(buffer.time), nullptr),
          statement);
  }
}

}  // namespace

void ExecuteStatement(const std::u16string& connectionString, const std::u16string& text,
                      std::span<const StatementValue> values, StatementTimeouts timeouts) {
  OdbcConnection connection(timeouts.loginSeconds);
  connection.SetConnectionString(connectionString);
  connection.Open();
  const UniqueOdbcStatement statement = connection.NewStatement(timeouts.statementSeconds);
  std::u16string prepared = text;
  Check(SQLPrepareW(statement.get(), Wide(prepared), SQL_NTS), statement.get());
  std::vector<ParameterBuffer> buffers(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    Bind(statement.get(), static_cast<SQLUSMALLINT>(i + 1), values[i], buffers[i]);
  }
  const SQLRETURN rc = SQLExecute(statement.get());
  if (rc != SQL_NO_DATA) Check(rc, statement.get());  // no data: a statement that touched no row
}

}  // namespace platform
