#include "platform/database.h"

#include "platform/win32/odbc_connection.h"
#include "platform/win32/odbc_query.h"

namespace platform {

std::unique_ptr<DatabaseConnection> DatabaseConnection::Create() { return std::make_unique<OdbcConnection>(); }
std::unique_ptr<DatabaseQuery> DatabaseQuery::Create() { return std::make_unique<OdbcQuery>(); }

}  // namespace platform
