#pragma once

#include <string>
#include <vector>

namespace platform {

// Everything a query delivered, fetched in full when it opened (a client-side cursor): the
// column names as the driver reports them and the rows as text, NULL already read as empty.
class QueryResult {
 public:
  QueryResult() = default;
  QueryResult(std::vector<std::u16string> columns, std::vector<std::vector<std::u16string>> rows);

  bool Empty() const { return rows_.empty(); }
  // The named column of the first row, the name matched without regard to case. A name the
  // result lacks throws EDatabaseError "<component>: Field '<name>' not found".
  const std::u16string& FirstRowField(const std::u16string& component, const std::u16string& name) const;

 private:
  std::vector<std::u16string> columns_;
  std::vector<std::vector<std::u16string>> rows_;
};

}  // namespace platform
