#include "settings/runs_table.h"

#include <string_view>

#include "base/exception.h"

namespace {

// SQL Server's limit for one part of a name.
constexpr size_t kMostPartCharacters = 128;

bool IsLetterOrUnderscore(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsNamePart(std::u16string_view part) {
  if (part.empty() || part.size() > kMostPartCharacters || !IsLetterOrUnderscore(part.front())) return false;
  for (char16_t c : part) {
    if (!IsLetterOrUnderscore(c) && !IsDigit(c)) return false;
  }
  return true;
}

}  // namespace

std::u16string QuotedRunsTable(const std::u16string& value) {
  if (value.empty()) return {};
  const size_t dot = value.find(u'.');
  const std::u16string_view whole(value);
  const bool named = dot == std::u16string::npos
                         ? IsNamePart(whole)
                         : IsNamePart(whole.substr(0, dot)) && IsNamePart(whole.substr(dot + 1));
  if (!named) {
    throw Exception(u"The value \"" + value +
                    u"\" of RunsTable in section [Kestrane] of VUZuze16.cnf is not accepted: use a table name or "
                    u"schema.name of letters, digits and _, each part starting with a letter or _ and at most 128 "
                    u"characters long");
  }
  if (dot == std::u16string::npos) return u"[" + value + u"]";
  return u"[" + value.substr(0, dot) + u"].[" + value.substr(dot + 1) + u"]";
}
