#pragma once

#include "platform/database.h"
#include "platform/rules/query_result.h"
#include "platform/win32/odbc_connection.h"

namespace platform {

// The query on ODBC: opening it runs the text and fetches the whole result, so it keeps its rows
// (and stands on the first) however long it stays open, without holding a statement.
class OdbcQuery final : public DatabaseQuery {
 public:
  // OdbcConnection is the only connection there is.
  void SetConnection(DatabaseConnection& connection) override {
    connection_ = &static_cast<OdbcConnection&>(connection);
  }
  void SetText(const std::u16string& text) override { text_ = text; }
  void Open() override;
  bool Eof() const override { return result_.Empty(); }
  std::u16string FieldAsText(const std::u16string& name) const override;

 private:
  const OdbcConnection* connection_ = nullptr;
  std::u16string text_;
  QueryResult result_;
};

}  // namespace platform
