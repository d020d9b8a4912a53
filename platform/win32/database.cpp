#include "platform/database.h"

#include "base/exception.h"

// PENDING: placeholder until the ODBC layer lands.
namespace platform {
namespace {
class PendingConnection : public DatabaseConnection {
  void SetConnectionString(const std::u16string&) override {}
  void Open() override { throw EDatabaseError(u"Provider cannot be found. It may not be properly installed"); }
  bool Connected() const override { return false; }
};
class PendingQuery : public DatabaseQuery {
  void SetConnection(DatabaseConnection&) override {}
  void SetText(const std::u16string&) override {}
  void Open() override {}
  bool Eof() const override { return true; }
  std::u16string FieldAsText(const std::u16string&) const override { return {}; }
};
}  // namespace
std::unique_ptr<DatabaseConnection> DatabaseConnection::Create() { return std::make_unique<PendingConnection>(); }
std::unique_ptr<DatabaseQuery> DatabaseQuery::Create() { return std::make_unique<PendingQuery>(); }
}  // namespace platform
