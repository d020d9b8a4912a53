#pragma once

#include "platform/database.h"
#include "platform/win32/odbc_handle.h"

namespace platform {

// The connection on ODBC: the ADO-style string is mapped to a driver or data source when it
// opens, so a string is never refused when it is set.
class OdbcConnection final : public DatabaseConnection {
 public:
  // The settings query's connection waits 15 seconds for its login.
  explicit OdbcConnection(SQLULEN loginTimeoutSeconds = 15) : loginTimeoutSeconds_(loginTimeoutSeconds) {}
  ~OdbcConnection() override;
  void SetConnectionString(const std::u16string& text) override { connectionString_ = text; }
  void Open() override;
  bool Connected() const override { return connected_; }
  SQLHDBC Handle() const { return connection_.get(); }
  // A statement on the open connection that may run for timeoutSeconds; raises EOleException.
  UniqueOdbcStatement NewStatement(SQLULEN timeoutSeconds) const;

 private:
  void Connect();
  void Close();

  SQLULEN loginTimeoutSeconds_;
  std::u16string connectionString_;
  UniqueOdbcEnvironment environment_;
  UniqueOdbcConnection connection_;  // after the environment: freed before it
  bool connected_ = false;
};

}  // namespace platform
