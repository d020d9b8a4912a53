#include "platform/win32/odbc_query.h"

#include "base/exception.h"
#include "platform/win32/odbc_diagnostics.h"
#include "platform/win32/wide.h"

namespace platform {
namespace {

constexpr SQLULEN kQueryTimeoutSeconds = 30;
// The window's one query component, whose name the missing-column message carries.
constexpr char16_t kComponentName[] = u"ADOQuery1";

void Check(SQLRETURN rc, SQLHSTMT statement) { ThrowIfFailed<EOleException>(rc, SQL_HANDLE_STMT, statement); }

std::u16string ColumnName(SQLHSTMT statement, SQLUSMALLINT column) {
  SQLWCHAR name[256];
  SQLSMALLINT length = 0;
  SQLSMALLINT type = 0;
  SQLULEN size = 0;
  SQLSMALLINT digits = 0;
  SQLSMALLINT nullable = 0;
  Check(SQLDescribeColW(statement, column, name, SQLSMALLINT{256}, &length, &type, &size, &digits, &nullable),
        statement);
  return FromWide(name);
}

// Read as wide text whatever the column's type: narrow text would follow the host's code page.
std::u16string ColumnText(SQLHSTMT statement, SQLUSMALLINT column) {
  std::u16string value;
  for (;;) {
    SQLWCHAR part[1024];
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(statement, column, SQL_C_WCHAR, part, sizeof(part), &indicator);
    if (rc == SQL_NO_DATA) break;  // the previous part was the last
    Check(rc, statement);
    if (indicator == SQL_NULL_DATA) return {};
    const bool cut = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof(part));
    value += FromWide(part, cut ? std::size(part) - 1 : static_cast<size_t>(indicator) / sizeof(SQLWCHAR));
    if (rc == SQL_SUCCESS) break;
  }
  return value;
}

QueryResult FetchAll(SQLHSTMT statement) {
  SQLSMALLINT count = 0;
  Check(SQLNumResultCols(statement, &count), statement);
  std::vector<std::u16string> columns;
  for (SQLUSMALLINT column = 1; column <= count; ++column) columns.push_back(ColumnName(statement, column));
  std::vector<std::vector<std::u16string>> rows;
  if (count > 0) {
    for (SQLRETURN rc = SQLFetch(statement); rc != SQL_NO_DATA; rc = SQLFetch(statement)) {
      Check(rc, statement);
      std::vector<std::u16string>& row = rows.emplace_back();
      for (SQLUSMALLINT column = 1; column <= count; ++column) row.push_back(ColumnText(statement, column));
    }
  }
  return QueryResult(std::move(columns), std::move(rows));
}

}  // namespace

void OdbcQuery::Open() {
  // A failed open leaves no result, never the previous open's rows.
  result_ = QueryResult();
  if (!connection_) throw EOleException(u"Operation is not allowed when the object is closed");
  const UniqueOdbcStatement statement = connection_->NewStatement(kQueryTimeoutSeconds);
  const SQLHSTMT handle = statement.get();
  std::u16string text = text_;
  const SQLRETURN rc = SQLExecDirectW(handle, Wide(text), SQL_NTS);
  if (rc != SQL_NO_DATA) Check(rc, handle);  // no data: a statement that touched no row
  // Everything is fetched now, as a client-side cursor does, and the statement goes.
  result_ = FetchAll(handle);
}

std::u16string OdbcQuery::FieldAsText(const std::u16string& name) const {
  return result_.FirstRowField(kComponentName, name);
}

}  // namespace platform
