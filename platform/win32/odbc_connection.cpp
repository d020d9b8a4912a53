#include "platform/win32/odbc_connection.h"

#include "base/exception.h"
#include "platform/rules/odbc_login.h"
#include "platform/win32/odbc_diagnostics.h"
#include "platform/win32/odbc_drivers.h"
#include "platform/win32/wide.h"

namespace platform {
OdbcConnection::~OdbcConnection() { Close(); }

void OdbcConnection::Close() {
  if (connected_) SQLDisconnect(connection_.get());
  connected_ = false;
  connection_.reset();
  environment_.reset();
}

// A second open drops what the first opened; an open that fails leaves nothing open.
void OdbcConnection::Open() {
  Close();
  try {
    Connect();
  } catch (...) {
    Close();
    throw;
  }
}

UniqueOdbcStatement OdbcConnection::NewStatement(SQLULEN timeoutSeconds) const {
  if (!connected_) throw EOleException(u"Operation is not allowed when the object is closed");
  SQLHSTMT handle = SQL_NULL_HSTMT;
  ThrowIfFailed<EOleException>(SQLAllocHandle(SQL_HANDLE_STMT, connection_.get(), &handle), SQL_HANDLE_DBC,
                               connection_.get());
  UniqueOdbcStatement statement(handle);
  ThrowIfFailed<EOleException>(
      SQLSetStmtAttrW(handle, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(timeoutSeconds), 0), SQL_HANDLE_STMT,
      handle);
  return statement;
}

void OdbcConnection::Connect() {
  SQLHENV environment = SQL_NULL_HENV;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment))) {
    throw EDatabaseError(u"Unspecified error");
  }
  environment_.reset(environment);
  ThrowIfFailed<EDatabaseError>(
      SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0), SQL_HANDLE_ENV,
      environment);

  const OdbcLogin login = MapToOdbc(ConnectionProperties::Parse(connectionString_), InstalledOdbcDrivers(environment));

  SQLHDBC connection = SQL_NULL_HDBC;
  ThrowIfFailed<EDatabaseError>(SQLAllocHandle(SQL_HANDLE_DBC, environment, &connection), SQL_HANDLE_ENV, environment);
  connection_.reset(connection);
  ThrowIfFailed<EDatabaseError>(
      SQLSetConnectAttrW(connection, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(loginTimeoutSeconds_), 0),
      SQL_HANDLE_DBC, connection);
  std::u16string text = login.connectionString;
  ThrowIfFailed<EDatabaseError>(
      SQLDriverConnectW(connection, nullptr, Wide(text), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT),
      SQL_HANDLE_DBC, connection);
  connected_ = true;
  if (!login.catalog.empty()) {
    std::u16string catalog = login.catalog;
    ThrowIfFailed<EDatabaseError>(SQLSetConnectAttrW(connection, SQL_ATTR_CURRENT_CATALOG, Wide(catalog), SQL_NTS),
                                  SQL_HANDLE_DBC, connection);
  }
}

}  // namespace platform
