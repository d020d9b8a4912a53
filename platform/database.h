#pragma once

#include <memory>
#include <string>

namespace platform {

// The steps of the database layer that the upgrade settings query relies on. Failures are
// EDatabaseError (opening the connection) or EOleException (opening the query), each carrying
// the driver's diagnostic text.
class DatabaseConnection {
 public:
  static std::unique_ptr<DatabaseConnection> Create();
  virtual ~DatabaseConnection() = default;
  virtual void SetConnectionString(const std::u16string& text) = 0;
  // Synchronous, no prompt, 15-second login time-out.
  virtual void Open() = 0;
  virtual bool Connected() const = 0;
};

class DatabaseQuery {
 public:
  static std::unique_ptr<DatabaseQuery> Create();
  virtual ~DatabaseQuery() = default;
  virtual void SetConnection(DatabaseConnection& connection) = 0;
  virtual void SetText(const std::u16string& text) = 0;
  // Runs the text with a 30-second time-out and stands on the first row.
  virtual void Open() = 0;
  virtual bool Eof() const = 0;
  // A column of the current row by name, case ignored; NULL reads as empty text.
  virtual std::u16string FieldAsText(const std::u16string& name) const = 0;
};

}  // namespace platform
