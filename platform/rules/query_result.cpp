#include "platform/rules/query_result.h"

#include "base/ascii_case.h"
#include "base/exception.h"

namespace platform {

QueryResult::QueryResult(std::vector<std::u16string> columns, std::vector<std::vector<std::u16string>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {}

const std::u16string& QueryResult::FirstRowField(const std::u16string& component, const std::u16string& name) const {
  for (size_t i = 0; i < columns_.size(); ++i) {
    if (!EqualsIgnoringAsciiCase(columns_[i], name)) continue;
    if (rows_.empty()) throw EDatabaseError(component + u": Cannot perform this operation on an empty result");
    return rows_.front()[i];
  }
  throw EDatabaseError(component + u": Field '" + name + u"' not found");
}

}  // namespace platform
