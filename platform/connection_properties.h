#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {

// The entries of an ADO-style connection string ("Key=value;Key=value"). Keys match without
// regard to case and the last entry of a key wins. A value may be enclosed in double or single
// quotes (the same mark doubled inside stands for itself); otherwise blanks around it are dropped.
class ConnectionProperties {
 public:
  // Throws EDatabaseError when the text breaks those rules (an entry without "=", an unclosed
  // quote, text after a closing quote).
  static ConnectionProperties Parse(std::u16string_view text);

  std::optional<std::u16string> Find(std::u16string_view key) const;

 private:
  std::vector<std::pair<std::u16string, std::u16string>> entries_;
};

}  // namespace platform
