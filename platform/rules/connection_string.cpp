#include "platform/rules/connection_string.h"

#include "base/ascii_case.h"
#include "base/exception.h"
#include "base/text.h"

namespace platform {
namespace {

[[noreturn]] void ThrowMalformed() { throw EDatabaseError(u"Format of the initialization string is not valid"); }

class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ >= text_.size(); }
  char16_t Peek() const { return text_[pos_]; }
  void Skip() { ++pos_; }
  void SkipBlanks() {
    while (!AtEnd() && Peek() <= u' ') ++pos_;
  }
  // Text up to (not including) the first of the stop characters or the end.
  std::u16string_view Until(std::u16string_view stops) {
    const size_t start = pos_;
    while (!AtEnd() && stops.find(Peek()) == std::u16string_view::npos) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  std::u16string QuotedValue() {
    const char16_t mark = Peek();
    Skip();
    std::u16string value;
    for (;;) {
      if (AtEnd()) ThrowMalformed();
      const char16_t c = Peek();
      Skip();
      if (c != mark) {
        value += c;
      } else if (!AtEnd() && Peek() == mark) {
        value += mark;
        Skip();
      } else {
        return value;
      }
    }
  }

 private:
  std::u16string_view text_;
  size_t pos_ = 0;
};

bool NeedsQuotes(const std::u16string& value) {
  if (value.empty()) return false;
  if (value.front() <= u' ' || value.back() <= u' ') return true;  // Parse drops blanks around a value
  if (value.front() == u'"' || value.front() == u'\'') return true;
  return value.find(u';') != std::u16string::npos;
}

}  // namespace

ConnectionProperties ConnectionProperties::Parse(std::u16string_view text) {
  ConnectionProperties properties;
  Reader reader(text);
  while (!reader.AtEnd()) {
    const std::u16string key = Trim(reader.Until(u"=;"));
    if (reader.AtEnd() || reader.Peek() == u';') {
      if (!key.empty()) ThrowMalformed();
      if (!reader.AtEnd()) reader.Skip();
      continue;
    }
    reader.Skip();  // the "="
    reader.SkipBlanks();
    std::u16string value;
    if (!reader.AtEnd() && (reader.Peek() == u'"' || reader.Peek() == u'\'')) {
      value = reader.QuotedValue();
      reader.SkipBlanks();
      if (!reader.AtEnd() && reader.Peek() != u';') ThrowMalformed();
    } else {
      value = Trim(reader.Until(u";"));
    }
    if (!reader.AtEnd()) reader.Skip();  // the ";"
    if (key.empty()) ThrowMalformed();
    properties.entries_.emplace_back(key, std::move(value));
  }
  return properties;
}

std::optional<std::u16string> ConnectionProperties::Find(std::u16string_view key) const {
  for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
    if (EqualsIgnoringAsciiCase(entry->first, key)) return entry->second;
  }
  return std::nullopt;
}

std::u16string QuoteConnectionStringValue(const std::u16string& value) {
  if (!NeedsQuotes(value)) return value;
  const bool hasDouble = value.find(u'"') != std::u16string::npos;
  const bool hasSingle = value.find(u'\'') != std::u16string::npos;
  if (!hasDouble) return u'"' + value + u'"';
  if (!hasSingle) return u'\'' + value + u'\'';
  // Both quote marks inside: double quotes around, each inner one doubled.
  std::u16string quoted = u"\"";
  for (char16_t c : value) {
    quoted += c;
    if (c == u'"') quoted += c;
  }
  return quoted + u'"';
}

std::u16string BuildConnectionString(const DatabaseLogin& login) {
  // With Windows authentication no user and no password go anywhere, whatever the slots hold.
  const std::u16string credentials = login.windowsAuthentication
                                         ? u"Integrated Security=SSPI;"
                                         : u"User ID=" + QuoteConnectionStringValue(login.user) + u";" + u"Password=" +
                                               QuoteConnectionStringValue(login.password) + u";";
  return u"Provider=" + QuoteConnectionStringValue(login.provider) + u";" + u"Persist Security Info=False;" +
         credentials + u"Initial Catalog=" + QuoteConnectionStringValue(login.catalog) + u";" + u"Data Source=" +
         QuoteConnectionStringValue(login.server);
}

}  // namespace platform
